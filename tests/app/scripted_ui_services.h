// A UiServices for tests: records every message and file question, every
// progress text and step and every wait, and answers from queues the test
// fills beforehand. An empty queue gives the safe answer (messages: No or
// Cancel, Ok for a plain notice; files: cancelled). A wait takes no time; a
// test may hook it to act while the flow pauses. Header-only so that any test
// folder can include it.
#pragma once

#include <deque>
#include <functional>
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
  std::vector<FileChoice> file_choices;  // every file question in full
  std::vector<int> progress;             // every step shown
  std::vector<std::string> progress_texts;  // every progress text shown
  std::vector<std::string> progress_titles;
  std::vector<int> waits;                   // every wait, in ms
  std::function<void(int ms)> on_wait;      // called for each wait when set
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
  bool OpenFileName(const FileChoice& choice, std::string* path) override {
    return NextFile(choice, path);
  }
  bool SaveFileName(const FileChoice& choice, std::string* path) override {
    return NextFile(choice, path);
  }
  void ProgressBegin(const std::string& title) override {
    ++progress_begun;
    progress_titles.push_back(title);
  }
  void ProgressText(const std::string& text) override { progress_texts.push_back(text); }
  void Wait(int ms) override {
    waits.push_back(ms);
    if (on_wait) on_wait(ms);
  }
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
  bool NextFile(const FileChoice& choice, std::string* path) {
    file_titles.push_back(choice.title);
    file_choices.push_back(choice);
    if (file_answers.empty()) return false;
    std::string chosen = file_answers.front();
    file_answers.pop_front();
    if (chosen.empty()) return false;
    *path = chosen;
    return true;
  }
};

}  // namespace quivera
