// Error-log entry text: decodes one entry reply into fixed-width lines.
#include "flash/error_log_layout.h"

#include "adapter/little_endian.h"
#include "flash/error_log_tables.h"
#include "flash/line_builder.h"

namespace quivera {

namespace {

constexpr int kLabelWidth = 34;
constexpr int kRegisterNameWidth = 23;
constexpr int kTestDataWords = 6;   // words 0..5 come from the test data area
constexpr int kZeroWord = 6;        // word 6 is not stored and shows as 0
constexpr int kLastDumpWord = 117;  // words 7..117 come from the register dump
constexpr int kHaltCodeWord = 7;
constexpr int kFaultTypeWord = 8;
constexpr int kFailedPcWord = 9;

// Reads a 32-bit little-endian field; the fixed-extent span keeps every
// offset used here inside the reply.
uint32_t Field(std::span<const uint8_t, kFlashReplySize> reply, size_t offset) {
  return LoadU32(reply.subspan(offset, 4).data());
}

uint32_t DumpWord(std::span<const uint8_t, kFlashReplySize> reply, int word) {
  return Field(reply, kErrorLogRegisterDumpOffset + 4 * static_cast<size_t>(word - kHaltCodeWord));
}

// Appends the table's line for 'value', or "<prefix>%08X<unknown>".
bool AppendCodeLine(TextLines& lines, std::span<const ErrorLogCodeLine> table, uint32_t value,
                    const char* prefix, const char* unknown) {
  if (const char* line = FindErrorLogCodeLine(table, value)) return lines.Append(line);
  LineBuilder b;
  b.Text(prefix).Hex(value, 8).Text(unknown);
  return lines.Append(b);
}

bool AppendHexField(TextLines& lines, const char* prefix, uint32_t value, int digits) {
  LineBuilder b;
  b.Text(prefix).Hex(value, digits);
  return lines.Append(b);
}

}  // namespace

bool FormatErrorLogWordLine(TextLines& lines, int word, uint32_t value) {
  LineBuilder b;
  if (word >= 0 && word < kErrorLogWords) {
    const ErrorLogWordLabel& label = ErrorLogWordLabels()[static_cast<size_t>(word)];
    b.Text(label.name);
    if (label.address != nullptr)
      b.PadTo(kRegisterNameWidth).Char('(').Text(label.address).Char(')');
  }
  b.PadTo(kLabelWidth).Decimal(word, 3).Char(':').Hex(value, 8);
  return lines.Append(b);
}

bool FormatErrorLogEntry(TextLines& lines, std::span<const uint8_t, kFlashReplySize> reply,
                         bool full) {
  bool fit = true;
  const uint32_t status = Field(reply, kErrorLogStatusOffset);
  if (status != 0) {
    fit &= lines.Append("  ** This log entry does not exist. **");
    fit &= lines.Append(" ");
    LineBuilder b;
    // The status shows as a signed number: an erased entry reads as -1.
    b.Text("     Entry status = ").Decimal(static_cast<int32_t>(status));
    fit &= lines.Append(b);
    return fit;
  }

  fit &= lines.Append("    Entry status = 0  VALID");
  const uint32_t caller = Field(reply, kErrorLogCallerIdOffset);
  fit &= AppendCodeLine(lines, CallerIdLines(), caller, "    Caller ID    = ", "  UNKNOWN ID");
  if (caller == kCallerIdFirmware) {
    const uint32_t halt = DumpWord(reply, kHaltCodeWord);
    fit &= AppendCodeLine(lines, HaltCodeLines(), halt, "    Halt code    = ", " UNKNOWN");
    if (halt == kHaltCodeHardwareFault) {
      fit &= AppendCodeLine(lines, FaultTypeLines(), DumpWord(reply, kFaultTypeWord),
                            "    Fault type   = ", " UNKNOWN");
    }
  }
  fit &= AppendHexField(lines, "    Failed PC    = ", DumpWord(reply, kFailedPcWord), 8);
  fit &= lines.Append(" ");

  // The timestamp reads most significant part first: the used 16 bits of the
  // high word, then the low word's low half, then its high half.
  const uint32_t low = Field(reply, kErrorLogTimestampLowOffset);
  const uint32_t high = Field(reply, kErrorLogTimestampHighOffset);
  LineBuilder stamp;
  stamp.Text("    Timestamp    = ").Hex(high & 0xFFFF, 4).Char(' ');
  stamp.Hex(low & 0xFFFF, 4).Char(' ').Hex(low >> 16, 4);
  fit &= lines.Append(stamp);
  fit &= AppendHexField(lines, "    Write Count  = ", Field(reply, kErrorLogWriteCountOffset), 4);
  if (!full) return fit;

  fit &= AppendHexField(lines, "    Test ID      = ", Field(reply, kErrorLogTestIdOffset), 4);
  fit &= lines.Append("    Test Data    =");
  for (int word = 0; word < kTestDataWords; ++word) {
    fit &= FormatErrorLogWordLine(
        lines, word, Field(reply, kErrorLogTestDataOffset + 4 * static_cast<size_t>(word)));
  }
  fit &= FormatErrorLogWordLine(lines, kZeroWord, 0);
  for (int word = kHaltCodeWord; word <= kLastDumpWord; ++word) {
    fit &= FormatErrorLogWordLine(lines, word, DumpWord(reply, word));
  }
  // The last two words are not part of the stored dump.
  fit &= lines.Append("118:00000000");
  fit &= lines.Append("119:00000000");
  return fit;
}

void AppendErrorLogEntryLines(AdapterHandle adapter, int entry, bool full, FlashReply* reply,
                              TextLines& lines) {
  if (!ReadFlashItem(adapter, ManagementItem::ErrorLogEntry, entry, reply)) {
    lines.AppendFormatted("Hardware read error for Error Log Entry %d", entry);
    lines.Append(" ");
    return;
  }
  lines.AppendFormatted("    Entry #      = %d", entry);
  FormatErrorLogEntry(lines, std::span<const uint8_t, kFlashReplySize>(*reply), full);
}

}  // namespace quivera
