// The download's worker thread and the hand-over of its progress.
#include "flash/firmware_download.h"

#include <chrono>
#include <utility>

#include "adapter/adapter.h"
#include "present/ui_services.h"

namespace quivera {

namespace {

constexpr const char* kCaption = kMessageCaption;
constexpr int kStepPauseMs = 100;
constexpr int kResetSettleMs = 4000;
constexpr int kCompletedPauseMs = 400;

}  // namespace

void SleepPause(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

FirmwareDownload::FirmwareDownload(AdapterHandle adapter, std::vector<uint8_t> record,
                                   ChangeEntry change, DownloadPause pause)
    : adapter_(adapter),
      change_(std::move(change)),
      pause_(pause ? std::move(pause) : DownloadPause(SleepPause)),
      worker_([this, record = std::move(record)]() mutable { Run(std::move(record)); }) {}

FirmwareDownload::~FirmwareDownload() {
  if (worker_.joinable()) worker_.join();
}

const char* FirmwareDownload::OutcomeMessage(Outcome outcome) {
  switch (outcome) {
    case Outcome::kInitializationFailed:
      return kInitializationFailedText;
    case Outcome::kLoadFailed:
      return kLoadFailedText;
    case Outcome::kBlastFailed:
      return kBlastFailedText;
    case Outcome::kRunning:
    case Outcome::kCompleted:
      break;
  }
  return "";
}

void FirmwareDownload::Show(Progress progress) {
  const std::lock_guard<std::mutex> lock(mutex_);
  pending_.push_back(std::move(progress));
}

// Shows 'text', then moves the bar to each position from 'first' to 'last',
// one every kStepPauseMs.
void FirmwareDownload::Step(const char* text, int first, int last) {
  Show({text, 0});
  for (int position = first; position <= last; ++position) {
    pause_(kStepPauseMs);
    Show({"", position});
  }
}

void FirmwareDownload::End(Outcome outcome) {
  ChangeEntry change = change_;
  if (outcome == Outcome::kCompleted) {
    change.outcome = ChangeOutcome::kDone;
  } else {
    change.outcome = ChangeOutcome::kFailed;
    change.what += outcome == Outcome::kInitializationFailed ? ",step=initialize"
                   : outcome == Outcome::kLoadFailed         ? ",step=load"
                                                             : ",step=blast";
  }
  RecordChange(change);
  const std::lock_guard<std::mutex> lock(mutex_);
  outcome_ = outcome;
}

void FirmwareDownload::Run(std::vector<uint8_t> record) {
  Step("Adapter is initializing...", 2, 9);
  if (adapter_.FirmwarePrepare() != 0) return End(Outcome::kInitializationFailed);
  Step("Firmware image is being loaded...", 10, 29);
  if (adapter_.FirmwareLoad(record.data(), record.size()) != 0) {
    adapter_.Control(kControlReset);
    return End(Outcome::kLoadFailed);
  }
  Step("Adapter is being blasted...", 30, 59);
  if (adapter_.FirmwareCommit() != 0) {
    adapter_.Control(kControlReset);
    return End(Outcome::kBlastFailed);
  }
  Step("Adapter is being reset...", 60, 89);
  adapter_.Control(kControlPostLoad);
  pause_(kResetSettleMs);
  Step(kProcessCompletedText, 90, 100);
  pause_(kCompletedPauseMs);
  End(Outcome::kCompleted);
}

FirmwareDownload::Outcome FirmwareDownload::outcome() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return outcome_;
}

bool FirmwareDownload::Poll(UiServices& ui) {
  // Inside 'ui' (a message box's own event loop) a timer may call again.
  if (polling_) return false;
  if (reported_) return true;
  polling_ = true;
  std::vector<Progress> shown;
  Outcome outcome;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    shown.swap(pending_);
    outcome = outcome_;
  }
  for (const Progress& progress : shown) {
    if (progress.text.empty()) {
      ui.ProgressStep(progress.position);
    } else {
      ui.ProgressText(progress.text);
    }
  }
  if (outcome == Outcome::kRunning) {
    polling_ = false;
    return false;
  }
  // The outcome is set last, so every progress of the steps was passed on.
  worker_.join();
  reported_ = true;
  ui.ProgressEnd();
  ui.Busy(false);
  if (outcome != Outcome::kCompleted) {
    ui.Message(OutcomeMessage(outcome), kCaption, MessageButtons::Ok, MessageIcon::None);
  }
  polling_ = false;
  return true;
}

}  // namespace quivera
