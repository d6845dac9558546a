// The user services of a run without windows: every message becomes one line
// "CAPTION: TEXT" on the error stream (line breaks inside TEXT written as the
// two characters \n, so one message is always one line); a question gets its
// safe answer (No, or Cancel, never the answer that would change something);
// file choices are cancelled; progress and the wait cursor show nothing; a
// wait sleeps (the headless run's timer and server have threads of their own).
#pragma once

#include <cstdio>
#include <string>

#include "present/ui_services.h"

namespace quivera {

// "CAPTION: TEXT" with CR and LF in either part written as \r and \n.
std::string ConsoleMessageLine(const std::string& text, const std::string& caption);

class ConsoleUiServices : public UiServices {
 public:
  // Writes to 'stream' (not owned), standard error by default.
  explicit ConsoleUiServices(std::FILE* stream = stderr) : stream_(stream) {}

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageButtons buttons,
                        MessageIcon icon) override;
  bool OpenFileName(const FileChoice& choice, std::string* path) override;
  bool SaveFileName(const FileChoice& choice, std::string* path) override;
  void ProgressBegin(const std::string&) override {}
  void ProgressText(const std::string&) override {}
  void ProgressStep(int) override {}
  void ProgressEnd() override {}
  void Busy(bool) override {}
  void Wait(int ms) override;

 private:
  std::FILE* stream_;
};

}  // namespace quivera
