#pragma once
// Every question the program asks goes through this interface: message boxes, the input box and the
// file dialogs. The program uses the Qt implementation; tests install a scripted one that records
// each question and answers from a queue.

#include <optional>
#include <string>
#include <vector>

namespace lumafex::platform {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message box with the given buttons; `focus` is the button that has the focus when it opens.
  virtual Answer message(const std::string& text, Buttons buttons = Buttons::Ok,
                         Answer focus = Answer::Ok) = 0;

  // The input box: nullopt when cancelled.
  virtual std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                           const std::string& defaultText) = 0;

  // File dialogs; `filter` is written "描述 (*.hs)|*.hs|…" (description and pattern pairs). nullopt when
  // nothing was chosen.
  virtual std::optional<std::string> openFile(const std::string& title, const std::string& directory,
                                              const std::string& filter) = 0;
  // Several files at once; by default the one file of openFile.
  virtual std::optional<std::vector<std::string>> openFiles(const std::string& title,
                                                            const std::string& directory,
                                                            const std::string& filter) {
    auto file = openFile(title, directory, filter);
    if (!file) return std::nullopt;
    return std::vector<std::string>{*file};
  }
  virtual std::optional<std::string> saveFile(const std::string& title, const std::string& directory,
                                              const std::string& suggestedPath,
                                              const std::string& filter) = 0;
};

}  // namespace lumafex::platform
