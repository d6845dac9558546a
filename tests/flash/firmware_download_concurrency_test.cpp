// The download's worker beside the window's thread: progress handed over in
// order while other threads use the same adapters, a poll made from inside
// the final message box, and a download dropped without being polled.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "emulated_adapters.h"
#include "flash/firmware_download.h"
#include "flash/srecord_image.h"
#include "recorded_changes.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

void ShortPause(int ms) { SleepPause(ms / 50); }

// Polls until the download reports its end (at most 30 s).
bool PollToEnd(FirmwareDownload& download, UiServices& ui) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < limit) {
    if (download.Poll(ui)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

TEST(FirmwareDownloadConcurrencyTest, ProgressArrivesInOrderWhileOthersUseTheAdapters) {
  EmulatedAdapters adapters({"korap1", "korap2"});
  const RecordedChanges changes;
  ScriptedUiServices ui;
  std::atomic<bool> running{true};
  // A browser switching adapters and reading pages meanwhile.
  std::thread browser([&] {
    int n = 0;
    while (running) {
      adapters.list.SetCurrent(++n % 2);
      char name[64];
      size_t length = sizeof name;
      adapters.list.GetItem(ManagementItem::VendorDescription, name, &length);
    }
  });
  ChangeEntry change;
  change.adapter = "korap1";
  change.what = "firmware=test";
  {
    FirmwareDownload download(adapters.list.At(0), FirmwareLoadRecord({1, 2, 3, 4, 5}), change,
                              ShortPause);
    ASSERT_TRUE(PollToEnd(download, ui));
    EXPECT_EQ(download.outcome(), FirmwareDownload::Outcome::kCompleted);
    EXPECT_TRUE(download.Poll(ui));  // and stays ended
  }
  running = false;
  browser.join();

  std::vector<int> expected(99);
  for (int i = 0; i < 99; ++i) expected[static_cast<size_t>(i)] = i + 2;
  EXPECT_EQ(ui.progress, expected);
  EXPECT_EQ(ui.progress_texts.size(), 5u);
  EXPECT_EQ(ui.progress_ended, 1);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(adapters.station(0).LoadedFirmware(), (std::vector<uint8_t>{4, 3, 2, 1, 0}));
  EXPECT_EQ(adapters.FirmwareRequests(1), 0);
  EXPECT_EQ(changes.Entries(),
            std::vector<std::string>{"origin=window adapter=korap1 change=firmware=test "
                                     "outcome=done"});
}

TEST(FirmwareDownloadConcurrencyTest, APollFromInsideTheFinalMessageReturnsAtOnce) {
  // The final message box runs its own event loop, in which the window's
  // timer polls again.
  struct NestingUi : ScriptedUiServices {
    FirmwareDownload* download = nullptr;
    int nested = -1;
    MessageAnswer Message(const std::string& text, const std::string& caption,
                          MessageButtons buttons, MessageIcon icon) override {
      nested = download->Poll(*this) ? 1 : 0;
      return ScriptedUiServices::Message(text, caption, buttons, icon);
    }
  };
  EmulatedAdapters adapters;
  adapters.station().FailOid(kOidFirmwareCommit);
  NestingUi ui;
  FirmwareDownload download(adapters.list.Current(), FirmwareLoadRecord({1}), ChangeEntry{},
                            ShortPause);
  ui.download = &download;
  ASSERT_TRUE(PollToEnd(download, ui));
  EXPECT_EQ(ui.nested, 0);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{kBlastFailedText});
  EXPECT_EQ(ui.progress_ended, 1);
  EXPECT_EQ(adapters.station().LastControlValue(), 4);  // reset after the failed blast
}

TEST(FirmwareDownloadConcurrencyTest, ADownloadDroppedUnpolledStillRunsToItsEnd) {
  EmulatedAdapters adapters;
  {
    FirmwareDownload download(adapters.list.Current(), FirmwareLoadRecord({1, 2}), ChangeEntry{},
                              ShortPause);
  }
  EXPECT_TRUE(adapters.station().FirmwareCommitted());
  EXPECT_EQ(adapters.station().LastControlValue(), 0);
}

}  // namespace
}  // namespace quivera
