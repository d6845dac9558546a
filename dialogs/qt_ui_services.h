// The windowed program's way of speaking to the user: message boxes, file
// dialogs, a small progress window and the wait cursor. Every window it opens
// is modal and centred over the active window (or over the main window when
// none is active).
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "present/ui_services.h"

class QProgressDialog;

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
  bool OpenFileName(const std::string& title, const std::string& filter,
                    std::string* path) override;
  bool SaveFileName(const std::string& title, const std::string& filter,
                    std::string* path) override;
  void ProgressBegin(const std::string& title) override;
  void ProgressStep(int percent) override;
  void ProgressEnd() override;
  void Busy(bool on) override;

 private:
  QWidget* Parent() const;

  QPointer<QWidget> main_window_;
  std::unique_ptr<QProgressDialog> progress_;
  int busy_depth_ = 0;
};

}  // namespace quivera
