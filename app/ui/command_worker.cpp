// A window command's flow on its own thread.
#include "app/ui/command_worker.h"

#include <utility>

#include "adapter/thread_stop.h"

namespace quivera {

namespace {

// Hands 'fn' to the thread of 'context' (dropped if 'context' goes first).
void PostTo(QObject* context, std::function<void()> fn) {
  QMetaObject::invokeMethod(context, std::move(fn), Qt::QueuedConnection);
}

}  // namespace

CommandWorker::CommandWorker(QObject* context, UiServices& ui)
    : context_(context),
      forwarded_(ui, [this](std::function<void()> fn) { PostTo(context_, std::move(fn)); }) {}

CommandWorker::~CommandWorker() {
  keep_going_ = false;
  forwarded_.Abandon();
  if (thread_.joinable()) thread_.join();
}

bool CommandWorker::Start(AdapterList& adapters, int index, Flow flow,
                          std::function<void()> finished) {
  if (running_) return false;
  if (thread_.joinable()) thread_.join();  // the previous flow has already ended
  running_ = true;
  thread_ = std::thread(
      [this, &adapters, index, flow = std::move(flow), finished = std::move(finished)]() mutable {
        {
          const ThreadStopScope stop(keep_going_);
          const AdapterList::Pin pin(adapters, index);
          flow(adapters, forwarded_);
        }
        PostTo(context_,
               [this, finished = std::move(finished)]() mutable { Finish(std::move(finished)); });
      });
  return true;
}

void CommandWorker::Finish(std::function<void()> finished) {
  if (thread_.joinable()) thread_.join();  // it ends right after posting this
  running_ = false;
  if (finished) finished();
}

}  // namespace quivera
