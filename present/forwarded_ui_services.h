// The user services of a command flow that runs on a worker thread: every
// question, file dialog, progress line and the wait cursor is handed to the
// thread that owns the user interface and answered there, while the worker
// waits for the answer. The window's event loop keeps running meanwhile, so a
// driver that is slow or stopped holds up only the worker.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "present/ui_services.h"

namespace quivera {

class ForwardedUiServices : public UiServices {
 public:
  // Runs a function later on the thread that owns 'target'.
  using Post = std::function<void(std::function<void()>)>;

  // 'target' answers on the thread 'post' hands its functions to; it must
  // outlive every call that reaches it.
  ForwardedUiServices(UiServices& target, Post post);

  // From then on calls are no longer forwarded, and a call still waiting for
  // its answer returns at once: a message gets its safe answer, a file dialog
  // "cancelled", Wait returns. Called on the owning thread when the window
  // goes while a command still runs.
  void Abandon();

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageButtons buttons,
                        MessageIcon icon) override;
  bool OpenFileName(const FileChoice& choice, std::string* path) override;
  bool SaveFileName(const FileChoice& choice, std::string* path) override;
  void ProgressBegin(const std::string& title) override;
  void ProgressText(const std::string& text) override;
  void ProgressStep(int percent) override;
  void ProgressEnd() override;
  void Busy(bool on) override;
  // Lets the time pass on the calling (worker) thread; the window is not
  // held up by it.
  void Wait(int ms) override;

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool abandoned = false;
  };

  // Hands 'fn' to the owning thread and waits until it has run there.
  // False when abandoned first ('fn' then may not have run).
  bool Call(std::function<void(UiServices&)> fn);

  UiServices& target_;
  Post post_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace quivera
