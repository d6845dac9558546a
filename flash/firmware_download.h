// The five driver steps of a firmware download (initialize, load, blast,
// reset, complete) with their pauses, run on a worker thread with a clock of
// its own: nothing the window does (a modal dialog, a slow repaint) can
// stretch the time the adapter sits loaded but not blasted. The window's
// thread only passes the progress on and shows the final message.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/change_record.h"

namespace quivera {

class UiServices;

inline constexpr char kInitializationFailedText[] = "Initialization failed!";
inline constexpr char kLoadFailedText[] = "Load image failed!";
inline constexpr char kBlastFailedText[] = "Blast failed!";
inline constexpr char kProcessCompletedText[] = "Process is completed!";

// Lets 'ms' milliseconds pass on the download's own thread.
using DownloadPause = std::function<void(int ms)>;

// The pause of a real download: sleeps the calling thread.
void SleepPause(int ms);

class FirmwareDownload {
 public:
  enum class Outcome { kRunning, kCompleted, kInitializationFailed, kLoadFailed, kBlastFailed };

  // Starts the steps at once on a worker thread for 'adapter' (the adapter
  // the command started on, whatever becomes current meanwhile), loading
  // 'record' (FirmwareLoadRecord). When the steps end, 'change' is recorded
  // with the outcome. A failed load or blast is followed by a reset of the
  // adapter so that it runs on with its old firmware.
  FirmwareDownload(AdapterHandle adapter, std::vector<uint8_t> record, ChangeEntry change,
                   DownloadPause pause = SleepPause);
  // Waits for the worker: a download is never cut short, since an adapter
  // stopped between load and blast may be left without firmware.
  ~FirmwareDownload();
  FirmwareDownload(const FirmwareDownload&) = delete;
  FirmwareDownload& operator=(const FirmwareDownload&) = delete;

  // On the window's thread: passes every progress text and position the
  // steps reached since the last call to 'ui', in order. Once the steps have
  // ended it closes the progress window, takes the wait cursor away, shows
  // the failure message if there is one, and returns true (and true on every
  // later call, doing nothing more). A call made while an earlier one is
  // still inside 'ui' (a message box runs its own event loop) returns false
  // at once.
  bool Poll(UiServices& ui);

  // How the steps ended; kRunning while they run.
  Outcome outcome() const;

  // The message of a failure outcome ("" for kCompleted and kRunning).
  static const char* OutcomeMessage(Outcome outcome);

 private:
  struct Progress {
    std::string text;  // empty: a position only
    int position = 0;
  };

  void Run(std::vector<uint8_t> record);
  void Step(const char* text, int first, int last);
  void Show(Progress progress);
  void End(Outcome outcome);

  AdapterHandle adapter_;
  ChangeEntry change_;
  DownloadPause pause_;

  mutable std::mutex mutex_;  // guards pending_ and outcome_
  std::vector<Progress> pending_;
  Outcome outcome_ = Outcome::kRunning;

  bool polling_ = false;   // window's thread only
  bool reported_ = false;  // window's thread only
  std::thread worker_;     // last: starts once everything above exists
};

}  // namespace quivera
