// Runs one window command's flow (reset, Clear Flash, the export, the
// preparation of a firmware upgrade) on a thread of its own, so that its
// driver requests never hold up the window. The flow speaks to the user as
// before: its questions and messages are forwarded to the window's thread and
// answered there while the worker waits. Its operations stay with the adapter
// that was current when the command was chosen.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

#include "adapter/adapter_list.h"
#include "present/forwarded_ui_services.h"

namespace quivera {

class CommandWorker {
 public:
  using Flow = std::function<void(AdapterList& adapters, UiServices& ui)>;

  // 'ui' answers the flow's questions on the thread that owns 'context';
  // both must outlive the worker.
  CommandWorker(QObject* context, UiServices& ui);
  // A flow still running is asked to stop: its waits for the driver give up,
  // its open questions get their safe answers, and the thread is joined.
  ~CommandWorker();
  CommandWorker(const CommandWorker&) = delete;
  CommandWorker& operator=(const CommandWorker&) = delete;

  // Starts 'flow' on element 'index' of 'adapters' and returns at once;
  // 'finished' runs on the window's thread once the flow has ended. False
  // (nothing started) while another flow runs.
  bool Start(AdapterList& adapters, int index, Flow flow, std::function<void()> finished);

  // True from Start until just before 'finished' runs.
  bool Running() const { return running_; }

 private:
  void Finish(std::function<void()> finished);

  QObject* const context_;  // outlives the worker: the worker is joined first
  ForwardedUiServices forwarded_;
  std::atomic<bool> keep_going_{true};  // false: the window goes, stop now
  bool running_ = false;                // window's thread only
  std::thread thread_;
};

}  // namespace quivera
