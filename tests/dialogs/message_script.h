// A UiServices for the dialog tests: records every message and answers from
// a queue the test fills beforehand (an empty queue answers OK). The dialogs
// ask nothing else, so the file and progress questions are refused.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "present/ui_services.h"

namespace quivera {

class MessageScript : public UiServices {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
  };

  std::deque<MessageAnswer> answers;
  std::vector<Shown> shown;

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageButtons buttons,
                        MessageIcon icon) override {
    shown.push_back({text, caption, buttons, icon});
    if (answers.empty()) return MessageAnswer::Ok;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool OpenFileName(const FileChoice&, std::string*) override { return false; }
  bool SaveFileName(const FileChoice&, std::string*) override { return false; }
  void ProgressBegin(const std::string&) override {}
  void ProgressText(const std::string&) override {}
  void Wait(int) override {}
  void ProgressStep(int) override {}
  void ProgressEnd() override {}
  void Busy(bool) override {}
};

}  // namespace quivera
