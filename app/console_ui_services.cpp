// Messages as lines on the error stream.
#include "app/console_ui_services.h"

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

bool ConsoleUiServices::OpenFileName(const std::string&, const std::string&, std::string*) {
  return false;
}

bool ConsoleUiServices::SaveFileName(const std::string&, const std::string&, std::string*) {
  return false;
}

}  // namespace quivera
