// Forwarding a worker's user-interface calls to the window's thread.
#include "present/forwarded_ui_services.h"

#include <chrono>
#include <utility>

namespace quivera {

ForwardedUiServices::ForwardedUiServices(UiServices& target, Post post)
    : target_(target), post_(std::move(post)), shared_(std::make_shared<Shared>()) {}

void ForwardedUiServices::Abandon() {
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->abandoned = true;
  shared_->changed.notify_all();
}

bool ForwardedUiServices::Call(std::function<void(UiServices&)> fn) {
  // The answer lands in state both threads keep alive: a worker that stops
  // waiting (abandoned) leaves nothing behind that the owning thread could
  // still write to.
  struct Pending {
    bool done = false;
  };
  auto pending = std::make_shared<Pending>();
  {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->abandoned) return false;
  }
  post_([shared = shared_, pending, target = &target_, fn = std::move(fn)] {
    {
      const std::lock_guard<std::mutex> lock(shared->mutex);
      if (shared->abandoned) return;
    }
    fn(*target);
    const std::lock_guard<std::mutex> lock(shared->mutex);
    pending->done = true;
    shared->changed.notify_all();
  });
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->changed.wait(lock, [&] { return pending->done || shared_->abandoned; });
  return pending->done;
}

MessageAnswer ForwardedUiServices::Message(const std::string& text, const std::string& caption,
                                           MessageButtons buttons, MessageIcon icon) {
  auto answer = std::make_shared<MessageAnswer>(SafeAnswer(buttons));
  const bool answered =
      Call([=](UiServices& ui) { *answer = ui.Message(text, caption, buttons, icon); });
  return answered ? *answer : SafeAnswer(buttons);
}

bool ForwardedUiServices::OpenFileName(const FileChoice& choice, std::string* path) {
  auto chosen = std::make_shared<std::pair<bool, std::string>>(false, std::string());
  if (!Call([=](UiServices& ui) { chosen->first = ui.OpenFileName(choice, &chosen->second); }))
    return false;
  if (chosen->first) *path = chosen->second;
  return chosen->first;
}

bool ForwardedUiServices::SaveFileName(const FileChoice& choice, std::string* path) {
  auto chosen = std::make_shared<std::pair<bool, std::string>>(false, std::string());
  if (!Call([=](UiServices& ui) { chosen->first = ui.SaveFileName(choice, &chosen->second); }))
    return false;
  if (chosen->first) *path = chosen->second;
  return chosen->first;
}

void ForwardedUiServices::ProgressBegin(const std::string& title) {
  Call([=](UiServices& ui) { ui.ProgressBegin(title); });
}

void ForwardedUiServices::ProgressText(const std::string& text) {
  Call([=](UiServices& ui) { ui.ProgressText(text); });
}

void ForwardedUiServices::ProgressStep(int percent) {
  Call([=](UiServices& ui) { ui.ProgressStep(percent); });
}

void ForwardedUiServices::ProgressEnd() {
  Call([](UiServices& ui) { ui.ProgressEnd(); });
}

void ForwardedUiServices::Busy(bool on) {
  Call([=](UiServices& ui) { ui.Busy(on); });
}

void ForwardedUiServices::Wait(int ms) {
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->changed.wait_for(lock, std::chrono::milliseconds(ms < 0 ? 0 : ms),
                            [&] { return shared_->abandoned; });
}

}  // namespace quivera
