// The windowed program's way of speaking to the user: message boxes, file
// dialogs, a small progress window and the wait cursor. Message boxes and file
// dialogs are modal and centred over the active window (or over the main
// window when none is active); the progress window is not modal, so the main
// window stays usable beside it.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "present/ui_services.h"

class QLabel;
class QProgressBar;

namespace quivera {

class QtUiServices : public UiServices {
 public:
  // 'main_window' (may be null, may change later through SetMainWindow) is
  // the parent of every window opened while no other window is active.
  explicit QtUiServices(QWidget* main_window = nullptr);
  ~QtUiServices() override;

  void SetMainWindow(QWidget* main_window) { main_window_ = main_window; }

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageButtons buttons,
                        MessageIcon icon) override;
  bool OpenFileName(const FileChoice& choice, std::string* path) override;
  bool SaveFileName(const FileChoice& choice, std::string* path) override;
  void ProgressBegin(const std::string& title) override;
  void ProgressText(const std::string& text) override;
  void ProgressStep(int percent) override;
  void ProgressEnd() override;
  void Busy(bool on) override;
  // Runs a local event loop for 'ms' milliseconds.
  void Wait(int ms) override;

  // The progress window while one is open (tests look at it), else nullptr.
  QWidget* ProgressWindow() const { return progress_.data(); }

 private:
  QWidget* Parent() const;

  QPointer<QWidget> main_window_;
  QPointer<QWidget> progress_;  // owned; the main window may delete it first
  QLabel* progress_text_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  int busy_depth_ = 0;
};

}  // namespace quivera
