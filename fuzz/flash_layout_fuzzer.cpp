// Fuzz target: the flash layouts over arbitrary reply bytes. The first byte
// chooses the layout (its top two bits: error-log entry, driver parameters,
// serial number, general hex dump) and its form (the dump's columns, order
// and grouping, values outside their enumerations included; the error log's
// full form); the rest is the reply, padded with zeros to the reply size, or
// as it is the data of the general hex dump.
//
// Beyond the sanitizers it checks the line list's bounds, that the return
// value tells whether anything was cut, and that one error-log entry takes
// at most its stated number of lines.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "adapter/little_endian.h"
#include "flash/error_log_layout.h"
#include "flash/flash_reply.h"
#include "flash/hex_dump.h"
#include "flash/text_lines.h"
#include "fuzz/fuzz_adapters.h"

namespace {

using namespace quivera;

void CheckLines(const TextLines& lines, bool whole) {
  if (lines.count() < 0 || lines.count() > TextLines::kMaxLines) FuzzFail("line count out of range");
  for (int i = 0; i < lines.count(); ++i) {
    if (lines.line(i).size() > static_cast<size_t>(TextLines::kLineWidth)) FuzzFail("line too long");
  }
  if (whole == lines.truncated()) FuzzFail("return value disagrees with truncated()");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t form = data[0];
  const std::span<const uint8_t> bytes(data + 1, size - 1);
  std::array<uint8_t, kFlashReplySize> reply{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), reply.size()), reply.begin());

  const auto columns = static_cast<DumpColumns>(form & 3);
  const auto order = static_cast<DumpOrder>((form >> 2) & 3);
  const auto grouping = static_cast<DumpGrouping>((form >> 4) & 3);

  TextLines lines;
  switch (form >> 6) {
    case 0: {
      const bool full = (form & 1) != 0;
      bool whole = FormatErrorLogEntry(lines, reply, full);
      CheckLines(lines, whole);
      if (lines.count() > kErrorLogEntryMaxLines) FuzzFail("error-log entry longer than its maximum");
      // A second entry after the first, as the export writes them one after another.
      whole = FormatErrorLogEntry(lines, reply, !full) && whole;
      CheckLines(lines, whole);
      lines.Clear();
      const uint32_t value = LoadU32(reply.data());
      CheckLines(lines, FormatErrorLogWordLine(lines, static_cast<int8_t>(reply[4]), value));
      break;
    }
    case 1:
      CheckLines(lines, FormatDriverParametersDump(lines, reply, columns, order, grouping));
      break;
    case 2:
      CheckLines(lines, FormatSerialNumberDump(lines, reply, columns, order, grouping));
      break;
    default:
      CheckLines(lines, FormatHexDump(lines, bytes, columns, order, grouping));
      break;
  }
  return 0;
}
