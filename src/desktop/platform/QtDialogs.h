#pragma once
// The program's dialogs: QMessageBox, QInputDialog and QFileDialog behind the Dialogs interface.

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/platform/Dialogs.h"
#include "render/QtStrings.h"

namespace lumafex::platform {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  Answer message(const std::string& text, Buttons buttons, Answer focus) override;
  std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) override;
  std::optional<std::string> openFile(const std::string& title, const std::string& directory,
                                      const std::string& filter) override;
  std::optional<std::vector<std::string>> openFiles(const std::string& title, const std::string& directory,
                                                    const std::string& filter) override;
  std::optional<std::string> saveFile(const std::string& title, const std::string& directory,
                                      const std::string& suggestedPath, const std::string& filter) override;

  // "描述 (*.hs)|*.hs|…" as a Qt name filter list "描述 (*.hs);;…".
  static QString qtFilter(const std::string& filter);

 private:
  QPointer<QWidget> parent_;
};

}  // namespace lumafex::platform
