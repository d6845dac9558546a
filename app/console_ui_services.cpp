// Messages as lines on the error stream.
#include "app/console_ui_services.h"

#include <chrono>
#include <thread>

namespace quivera {
namespace {

void AppendEscaped(std::string* line, const std::string& text) {
  for (char c : text) {
    if (c == '\n') {
      *line += "\\n";
    } else if (c == '\r') {
      *line += "\\r";
    } else {
      *line += c;
    }
  }
}

}  // namespace

std::string ConsoleMessageLine(const std::string& text, const std::string& caption) {
  std::string line;
  AppendEscaped(&line, caption);
  line += ": ";
  AppendEscaped(&line, text);
  return line;
}

MessageAnswer ConsoleUiServices::Message(const std::string& text, const std::string& caption,
                                         MessageButtons buttons, MessageIcon /*icon*/) {
  const std::string line = ConsoleMessageLine(text, caption) + "\n";
  std::fwrite(line.data(), 1, line.size(), stream_);
  std::fflush(stream_);
  return SafeAnswer(buttons);
}

bool ConsoleUiServices::OpenFileName(const FileChoice&, std::string*) { return false; }

bool ConsoleUiServices::SaveFileName(const FileChoice&, std::string*) { return false; }

void ConsoleUiServices::Wait(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace quivera
