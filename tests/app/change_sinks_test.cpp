// The change record's sinks: the system log through its writer seam (never
// the host's journal), the standard error form, and the record file, which
// is appended to and never truncated, and refused unless it is a regular
// file without hanging on a FIFO.
#include "app/change_sinks.h"

#include <sys/stat.h>
#include <syslog.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace quivera {
namespace {

const ChangeEntry kReset{ChangeOrigin::kWindow, "", "korae1", "reset", "", ChangeOutcome::kDone};

struct Logged {
  int priority;
  std::string line;
};

TEST(ChangeSinksTest, LinesReachTheSystemLogStandardErrorAndTheFile) {
  TempDir dir;
  const std::string file = dir.Path("changes.log");
  ASSERT_TRUE(WriteFile(file, "an earlier line\n"));
  std::vector<Logged> logged;
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  std::string warning;
  {
    const InstalledChangeSinks record(ProgramChangeSinks(
        [&](int priority, const std::string& line) { logged.push_back({priority, line}); }, err,
        file, &warning));
    RecordChange(kReset);
    RecordChange({ChangeOrigin::kBrowser, "192.0.2.9", "korae1", "x\ny", "", ChangeOutcome::kFailed});
  }
  RecordChange(kReset);  // after the run: the sinks are gone
  EXPECT_EQ(warning, "");

  ASSERT_EQ(logged.size(), 2u);
  EXPECT_EQ(logged[0].priority, LOG_NOTICE);
  EXPECT_TRUE(logged[0].line.ends_with(" origin=window adapter=korae1 change=reset outcome=done"))
      << logged[0].line;

  std::rewind(err);
  char buffer[1024] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer - 1, err);
  std::fclose(err);
  const std::string stderr_text(buffer, n);
  EXPECT_EQ(stderr_text, "QUIVERA/FDDI change: " + logged[0].line + "\n" +
                             "QUIVERA/FDDI change: " + logged[1].line + "\n");

  EXPECT_EQ(ReadFile(file), "an earlier line\n" + logged[0].line + "\n" + logged[1].line + "\n");
}

TEST(ChangeSinksTest, RecordFilesThatAreRefused) {
  TempDir dir;
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    const char* name;
    std::string path;
    const char* message_mentions;
  };
  const Case cases[] = {
      {"a FIFO nobody reads", fifo, "cannot be opened"},
      {"a folder", dir.path(), "cannot be opened"},
      {"a device", "/dev/null", "is not a regular file"},
      {"a missing folder", dir.Path("none/changes.log"), "cannot be opened"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    std::string warning;
    const std::vector<ChangeSink> sinks =
        ProgramChangeSinks([](int, const std::string&) {}, nullptr, c.path, &warning);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(sinks.size(), 1u) << "the system log still records";
    EXPECT_NE(warning.find(c.message_mentions), std::string::npos) << warning;
    EXPECT_NE(warning.find(c.path), std::string::npos) << warning;
  }
}

TEST(ChangeSinksTest, TwoWritersOfOneFileNeverInterleaveOrTruncate) {
  TempDir dir;
  const std::string file = dir.Path("changes.log");
  ChangeSink first;
  ChangeSink second;
  ASSERT_TRUE(OpenChangeFileSink(file, &first).ok);
  first("one");
  ASSERT_TRUE(OpenChangeFileSink(file, &second).ok);  // a second run on the same file
  second("two");
  first("three");
  EXPECT_EQ(ReadFile(file), "one\ntwo\nthree\n");
}

}  // namespace
}  // namespace quivera
