// How plain code (start-up, menu command flows) speaks to the user without
// knowing whether a window exists: the windowed program answers with message
// boxes and file dialogs, --headless with lines on standard error, tests with
// a scripted fake.
#pragma once

#include <string>

namespace quivera {

enum class MessageIcon { Stop, Warning, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The safe answer to a message with 'buttons': Ok for a plain notice, No
// for a Yes/No question, otherwise Cancel, never the answer that would change
// something. A run without a user, and a box closed without a choice, give it.
MessageAnswer SafeAnswer(MessageButtons buttons);

class UiServices {
 public:
  virtual ~UiServices() = default;

  // Shows 'text' under 'caption' and returns the button chosen.
  virtual MessageAnswer Message(const std::string& text, const std::string& caption,
                                MessageButtons buttons, MessageIcon icon) = 0;
  // Asks for a file to open / save. Returns false when the user cancelled.
  // 'filter' is a pattern such as "*.FWD".
  virtual bool OpenFileName(const std::string& title, const std::string& filter,
                            std::string* path) = 0;
  virtual bool SaveFileName(const std::string& title, const std::string& filter,
                            std::string* path) = 0;
  // A progress display for long operations: Begin, any number of Step(percent
  // 0..100), then End.
  virtual void ProgressBegin(const std::string& title) = 0;
  virtual void ProgressStep(int percent) = 0;
  virtual void ProgressEnd() = 0;
  // The wait cursor around a slow operation.
  virtual void Busy(bool on) = 0;
};

}  // namespace quivera
