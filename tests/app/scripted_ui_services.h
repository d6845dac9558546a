// A UiServices for tests: records every message and file question, and
// answers from queues the test fills beforehand. An empty queue gives the
// safe answer (messages: No or Cancel, Ok for a plain notice; files:
// cancelled). Header-only so that any test folder can include it.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/console_ui_services.h"
#include "present/ui_services.h"

namespace quivera {

class ScriptedUiServices : public UiServices {
 public:
  struct ShownMessage {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
  };

  // --- script ---------------------------------------------------------------
  std::deque<MessageAnswer> answers;     // next answers to messages
  std::deque<std::string> file_answers;  // next chosen files ("" = cancelled)

  // --- record ---------------------------------------------------------------
  std::vector<ShownMessage> messages;
  std::vector<std::string> file_titles;  // title of every file question
  std::vector<int> progress;             // every step shown
  int progress_begun = 0;
  int progress_ended = 0;
  int busy_depth = 0;  // on minus off

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageButtons buttons,
                        MessageIcon icon) override {
    messages.push_back({text, caption, buttons, icon});
    if (answers.empty()) return SafeAnswer(buttons);
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool OpenFileName(const std::string& title, const std::string&, std::string* path) override {
    return NextFile(title, path);
  }
  bool SaveFileName(const std::string& title, const std::string&, std::string* path) override {
    return NextFile(title, path);
  }
  void ProgressBegin(const std::string&) override { ++progress_begun; }
  void ProgressStep(int percent) override { progress.push_back(percent); }
  void ProgressEnd() override { ++progress_ended; }
  void Busy(bool on) override { busy_depth += on ? 1 : -1; }

  // The texts of all messages shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const ShownMessage& m : messages) texts.push_back(m.text);
    return texts;
  }

 private:
  bool NextFile(const std::string& title, std::string* path) {
    file_titles.push_back(title);
    if (file_answers.empty()) return false;
    std::string chosen = file_answers.front();
    file_answers.pop_front();
    if (chosen.empty()) return false;
    *path = chosen;
    return true;
  }
};

}  // namespace quivera
