// Export Error Log: the file against the flash layouts line by line, the
// read-error lines, the save dialog and the failures to open or write.
#include "flash/error_log_export.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <span>

#include "emulated_adapters.h"
#include "flash/error_log_layout.h"
#include "flash/hex_dump.h"
#include "adapter/adapter_list.h"
#include "support/temp_dir.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no line end>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void AppendLines(std::vector<std::string>* out, const TextLines& lines) {
  for (int i = 0; i < lines.count(); ++i) out->emplace_back(lines.line(i));
}

// What the export must hold after its three header lines, built from the
// layouts over the same replies.
std::vector<std::string> ExpectedSections(AdapterList& list) {
  std::vector<std::string> expected;
  std::array<uint8_t, kFlashReplySize> reply{};
  TextLines lines;
  for (int entry = 0; entry < 4; ++entry) {
    expected.push_back(" ");
    size_t length = reply.size();
    if (list.GetItem(ManagementItem::ErrorLogEntry, reply.data(), &length, entry) == 0) {
      expected.push_back("    Entry #      = " + std::to_string(entry));
      lines.Clear();
      FormatErrorLogEntry(lines, reply, true);
      AppendLines(&expected, lines);
    } else {
      expected.push_back("Hardware read error for Error Log Entry " + std::to_string(entry));
      expected.push_back(" ");
    }
  }
  const struct {
    const char* title;
    ManagementItem item;
    bool (*dump)(TextLines&, std::span<const uint8_t, kFlashReplySize>, DumpColumns, DumpOrder,
                 DumpGrouping);
  } areas[] = {{"Driver Parameters", ManagementItem::DriverParameters, FormatDriverParametersDump},
               {"Serial Number", ManagementItem::SerialNumber, FormatSerialNumberDump}};
  for (const auto& area : areas) {
    expected.push_back(" ");
    expected.push_back(area.title);
    size_t length = reply.size();
    if (list.GetItem(area.item, reply.data(), &length) == 0) {
      lines.Clear();
      area.dump(lines, reply, DumpColumns::HexAndAscii, DumpOrder::Ascending, DumpGrouping::Bytes);
      AppendLines(&expected, lines);
    } else {
      expected.push_back("Hardware read error!");
      expected.push_back(" ");
    }
  }
  return expected;
}

class ErrorLogExportTest : public ::testing::Test {
 protected:
  // Runs the command into '<dir>/name' and returns the file's lines.
  std::vector<std::string> Export(EmulatedAdapters& adapters) {
    ui_.file_answers = {dir_.Path("adapter1.FWD")};
    EXPECT_TRUE(ExportErrorLogCommand(adapters.list, ui_));
    EXPECT_TRUE(ui_.messages.empty());
    return SplitCrLf(ReadFile(dir_.Path("adapter1.FWD")));
  }

  TempDir dir_;
  ScriptedUiServices ui_;
};

TEST_F(ErrorLogExportTest, FileFollowsTheFlashLayoutsLineByLine) {
  EmulatedAdapters adapters;
  adapters.station().SetErrorLog(2, 16, {0, 0, 0, 0});  // entry 2 valid
  adapters.station().SetErrorLog(2, 24, {5, 0, 0, 0});  // called by the firmware
  const std::vector<std::string> lines = Export(adapters);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Adapter Error Log");
  EXPECT_EQ(lines[1], "Firmware Revision = 3.10");
  EXPECT_EQ(lines[2].size(), 24u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
            ExpectedSections(adapters.list));

  ASSERT_EQ(ui_.file_choices.size(), 1u);
  const FileChoice& choice = ui_.file_choices[0];
  EXPECT_EQ(choice.default_extension, "FWD");
  ASSERT_EQ(choice.filters.size(), 2u);
  EXPECT_EQ(choice.filters[0].name, "Exported Error Logs");
  EXPECT_EQ(choice.filters[0].pattern, "*.FWD");
  EXPECT_EQ(choice.filters[1].name, "All Files");
  EXPECT_EQ(choice.filters[1].pattern, "*.*");
}

TEST_F(ErrorLogExportTest, UnreadableAreasStandAsReadErrors) {
  EmulatedAdapters adapters;
  adapters.station().FailBlock(kCodeErrorLog);
  adapters.station().FailBlock(kCodeStatus);
  adapters.station().FailBlock(kCodeSerialNumber);
  const std::vector<std::string> lines = Export(adapters);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Firmware Revision = ?.??");
  const std::vector<std::string> sections(lines.begin() + 3, lines.end());
  EXPECT_EQ(sections, ExpectedSections(adapters.list));
  for (int entry = 0; entry < 4; ++entry) {
    const std::vector<std::string> want = {
        " ", "Hardware read error for Error Log Entry " + std::to_string(entry), " "};
    EXPECT_TRUE(std::equal(want.begin(), want.end(), sections.begin() + 3 * entry)) << entry;
  }
  EXPECT_EQ(sections[12], " ");
  EXPECT_EQ(sections[13], "Driver Parameters");
  EXPECT_EQ(sections.back(), " ");
  EXPECT_EQ(sections[sections.size() - 2], "Hardware read error!");
}

TEST_F(ErrorLogExportTest, FilesThatCannotBeCreatedOrWrittenAreReported) {
  EmulatedAdapters adapters;
  const struct {
    std::string path;
    const char* message;
  } cases[] = {
      {dir_.Path("missing/folder/out.FWD"), kUnableToOpenOutputText},
      {"/dev/full", kUnableToWriteOutputText},  // every write fails: the disk is full
  };
  for (const auto& c : cases) {
    if (!std::filesystem::exists("/dev/full") && c.path == "/dev/full") continue;
    ScriptedUiServices ui;
    ui.file_answers = {c.path};
    EXPECT_FALSE(ExportErrorLogCommand(adapters.list, ui));
    ASSERT_EQ(ui.messages.size(), 1u) << c.path;
    EXPECT_EQ(ui.messages[0].text, c.message);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Stop);
  }
  ScriptedUiServices cancelled;
  EXPECT_FALSE(ExportErrorLogCommand(adapters.list, cancelled));
  EXPECT_TRUE(cancelled.messages.empty());
}

}  // namespace
}  // namespace quivera
