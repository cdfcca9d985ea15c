#pragma once
// Dialogs for window tests: every question is recorded and answered from a queue prepared by the
// test. A question nobody expected is recorded as unexpected, answered with Cancel (or nothing), and
// the test checks that there were none. An answer still queued when the dialogs go away (the
// question it was prepared for was never asked) fails the test.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QtTest>

#include "core/platform/Dialogs.h"

namespace lumafex::testing {

class ScriptedDialogs : public platform::Dialogs {
 public:
  ~ScriptedDialogs() override {
    if (!replies.empty() && QTest::currentTestFunction()) {
      const std::string message = "a prepared answer was never asked for: " + replies.front().expect;
      QTest::qFail(message.c_str(), __FILE__, __LINE__);
    }
  }

  struct Reply {
    std::string expect;  // a part of the question's text
    platform::Answer answer = platform::Answer::Ok;
    std::optional<std::string> text;  // for input boxes and file dialogs
  };

  void expect(std::string question, platform::Answer answer) {
    replies.push_back({std::move(question), answer, {}});
  }
  void expectText(std::string question, std::optional<std::string> text) {
    replies.push_back({std::move(question), platform::Answer::Ok, std::move(text)});
  }

  platform::Answer message(const std::string& text, platform::Buttons, platform::Answer) override {
    asked.push_back(text);
    // What happens while the question is open (a timer that keeps firing, say).
    if (whileAsking) whileAsking(text);
    if (auto r = take(text)) return r->answer;
    return platform::Answer::Cancel;
  }
  std::optional<std::string> input(const std::string& prompt, const std::string&,
                                   const std::string&) override {
    asked.push_back(prompt);
    if (auto r = take(prompt)) return r->text;
    return std::nullopt;
  }
  std::optional<std::string> openFile(const std::string& title, const std::string&,
                                      const std::string&) override {
    asked.push_back(title);
    if (auto r = take(title)) return r->text;
    return std::nullopt;
  }
  // Several files: the prepared text holds them one a line.
  std::optional<std::vector<std::string>> openFiles(const std::string& title, const std::string&,
                                                    const std::string&) override {
    asked.push_back(title);
    const auto r = take(title);
    if (!r || !r->text) return std::nullopt;
    std::vector<std::string> files;
    std::size_t start = 0;
    for (std::size_t end; (end = r->text->find('\n', start)) != std::string::npos; start = end + 1) {
      files.push_back(r->text->substr(start, end - start));
    }
    files.push_back(r->text->substr(start));
    return files;
  }
  std::optional<std::string> saveFile(const std::string& title, const std::string&, const std::string&,
                                      const std::string&) override {
    asked.push_back(title);
    if (auto r = take(title)) return r->text;
    return std::nullopt;
  }

  std::function<void(const std::string&)> whileAsking;
  std::deque<Reply> replies;
  std::vector<std::string> asked;
  std::vector<std::string> unexpected;

 private:
  std::optional<Reply> take(const std::string& question) {
    if (!replies.empty() && question.find(replies.front().expect) != std::string::npos) {
      Reply r = replies.front();
      replies.pop_front();
      return r;
    }
    unexpected.push_back(question);
    return std::nullopt;
  }
};

}  // namespace lumafex::testing
