// How plain code (start-up, menu command flows) speaks to the user without
// knowing whether a window exists: the windowed program answers with message
// boxes and file dialogs, --headless with lines on standard error, tests with
// a scripted fake.
//
// Threads: an implementation runs on the thread that owns the user
// interface: the window's thread in the windowed program, the main thread in
// --headless. The window's menu commands run their flow on a worker of
// their own and speak through ForwardedUiServices
// (present/forwarded_ui_services.h), which hands each call to the window's
// thread and waits for its answer there; only that worker waits. In the
// windowed program Message, OpenFileName, SaveFileName
// and Wait run a nested event loop until they return: timers tick, pages
// redraw, values arrive from the background fetch and other commands'
// outcomes are delivered meanwhile, so a caller must not hold a lock or
// assume the current adapter stays the same across them (keep the adapter's
// index or handle instead). The progress calls and Busy also let queued
// repaints run, but no user input.
#pragma once

#include <string>
#include <vector>

namespace quivera {

// The caption of the program's messages.
inline constexpr char kMessageCaption[] = "QUIVERA/FDDI";

// None: a plain box without an icon.
enum class MessageIcon { None, Stop, Warning, Exclamation, Question, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The safe answer to a message with 'buttons': Ok for a plain notice, No
// for a Yes/No question, otherwise Cancel, never the answer that would change
// something. A run without a user, and a box closed without a choice, give it.
MessageAnswer SafeAnswer(MessageButtons buttons);

// One entry of a file dialog's type list: the text shown ("KORAP
// (FWSC*.FWI)") and the pattern it stands for ("FWSC*.FWI"). Patterns match
// without regard to letter case, and "*.*" matches every file.
struct FileFilter {
  std::string name;
  std::string pattern;
};

// What a file dialog asks for. The initial file name is always empty.
struct FileChoice {
  std::string title;
  std::vector<FileFilter> filters;  // the first is chosen at the start
  // Save only: added (after a point) to a name typed without an extension.
  std::string default_extension;
};

class UiServices {
 public:
  virtual ~UiServices() = default;

  // Shows 'text' under 'caption' and returns the button chosen.
  virtual MessageAnswer Message(const std::string& text, const std::string& caption,
                                MessageButtons buttons, MessageIcon icon) = 0;
  // Asks for one existing file to open. Returns false when the user cancelled.
  virtual bool OpenFileName(const FileChoice& choice, std::string* path) = 0;
  // Asks for a file to write, asking before an existing file is replaced.
  // Returns false when the user cancelled.
  virtual bool SaveFileName(const FileChoice& choice, std::string* path) = 0;
  // A small window beside the main window (not modal) while a long operation
  // runs: Begin (its title), any number of Text (its one line) and Step
  // (percent 0..100, the bar), then End, which closes it.
  virtual void ProgressBegin(const std::string& title) = 0;
  virtual void ProgressText(const std::string& text) = 0;
  virtual void ProgressStep(int percent) = 0;
  virtual void ProgressEnd() = 0;
  // The wait cursor around a slow operation.
  virtual void Busy(bool on) = 0;
  // Lets 'ms' milliseconds pass before returning, without holding up the
  // rest of the program: meanwhile the window repaints, its timers tick and
  // the hypertext server answers. Negative counts as 0.
  virtual void Wait(int ms) = 0;
};

}  // namespace quivera
