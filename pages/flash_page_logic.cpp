// The Flash page's lines: list fill, option rules and the printed sheets.
#include "pages/flash_page_logic.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "adapter/adapter_list.h"
#include "flash/error_log_layout.h"
#include "flash/flash_reply.h"
#include "present/firmware_revision.h"

namespace quivera {

namespace {

constexpr char kErrorLogTitle[] = "Adapter Error Log";
constexpr char kDriverParametersTitle[] = "Adapter Driver Parameters";
constexpr char kSerialNumberTitle[] = "Adapter Serial Number";

// Error-log sheets: the line index after which the second column begins, and
// the line whose height the second column starts at.
constexpr int kFirstColumnLines = 73;
constexpr int kSecondColumnFirstRow = 13;

void AppendHeading(TextLines* lines, const char* title, const std::string& revision) {
  lines->Append(title);
  lines->AppendFormatted("Firmware Revision = %s", revision.c_str());
  lines->Append(" ");
}

struct FlashBlock {
  ManagementItem item;
  const char* read_error;
  FlashDump dump;
};
constexpr FlashBlock kDriverParametersBlock = {
    ManagementItem::DriverParameters, "Hardware read error for Driver Parameters",
    FormatDriverParametersDump};
constexpr FlashBlock kSerialNumberBlock = {ManagementItem::SerialNumber,
                                           "Hardware read error for Serial Number",
                                           FormatSerialNumberDump};

void AppendBlock(AdapterList& adapters, const FlashBlock& block, DumpColumns columns,
                 DumpOrder order, DumpGrouping grouping, TextLines* lines) {
  auto reply = std::make_unique<FlashReply>();
  if (!ReadFlashItem(adapters.Current(), block.item, 0, reply.get())) {
    lines->Append(block.read_error);
    lines->Append(" ");
    return;
  }
  block.dump(*lines, std::span<const uint8_t, kFlashReplySize>(*reply), columns, order, grouping);
}

}  // namespace

FlashGroups FlashGroupsFor(FlashObject object) {
  if (object == FlashObject::ErrorLog) return {true, true, false, false};
  return {false, true, true, true};
}

bool FlashOptionRefills(FlashOptionGroup group, FlashObject selected) {
  switch (group) {
    case FlashOptionGroup::Object:
    case FlashOptionGroup::Format:
      return true;
    case FlashOptionGroup::Entry:
      return selected == FlashObject::ErrorLog;
    case FlashOptionGroup::Organization:
    case FlashOptionGroup::Size:
      return selected != FlashObject::ErrorLog;
  }
  return false;
}

const std::string& FirmwareRevisionCache::Get(AdapterList& adapters) {
  if (!read_) read_ = ReadFirmwareRevision(adapters.Current(), &text_);
  return text_;
}

void FirmwareRevisionCache::Forget() {
  text_ = "Unknown";
  read_ = false;
}

void FillFlashLines(AdapterList& adapters, const FlashOptions& options,
                    const std::string& revision, TextLines* lines) {
  lines->Clear();
  const DumpColumns columns = options.ascii ? DumpColumns::AsciiOnly : DumpColumns::HexOnly;
  switch (options.object) {
    case FlashObject::ErrorLog:
      AppendHeading(lines, kErrorLogTitle, revision);
      AppendErrorLogEntryLines(adapters.Current(), options.entry, options.ascii,
                               std::make_unique<FlashReply>().get(), *lines);
      break;
    case FlashObject::DriverPrivate:
      AppendHeading(lines, kDriverParametersTitle, revision);
      AppendBlock(adapters, kDriverParametersBlock, columns, options.order, options.grouping, lines);
      break;
    case FlashObject::SerialNumber:
      AppendHeading(lines, kSerialNumberTitle, revision);
      AppendBlock(adapters, kSerialNumberBlock, columns, options.order, options.grouping, lines);
      break;
  }
}

void FlashSheetLines(AdapterList& adapters, int part, const std::string& revision,
                     TextLines* lines) {
  lines->Clear();
  if (part == kFirstFlashSheet) {
    AppendHeading(lines, kDriverParametersTitle, revision);
    AppendBlock(adapters, kDriverParametersBlock, DumpColumns::HexAndAscii, DumpOrder::Ascending,
                DumpGrouping::Longwords, lines);
    lines->Append("");  // an empty line step
    lines->Append(kSerialNumberTitle);
    lines->Append(" ");
    AppendBlock(adapters, kSerialNumberBlock, DumpColumns::HexAndAscii, DumpOrder::Ascending,
                DumpGrouping::Longwords, lines);
  } else if (part > kFirstFlashSheet && part <= kLastFlashSheet) {
    AppendHeading(lines, kErrorLogTitle, revision);
    AppendErrorLogEntryLines(adapters.Current(), part - kFirstFlashSheet - 1, true,
                             std::make_unique<FlashReply>().get(), *lines);
  }
}

FlashPrintPlace FlashSheetPlace(int index) {
  if (index < kFirstColumnLines) return {0, index};
  return {1, kSecondColumnFirstRow + index - kFirstColumnLines};
}

}  // namespace quivera
