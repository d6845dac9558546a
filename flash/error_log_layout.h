// The text of one flash error-log entry: status, caller, halt code, fault
// type, failed program counter, timestamp and write count, and in the full
// form the test data and the labelled register dump (130 lines at most).
#pragma once

#include <cstdint>
#include <span>

#include "flash/flash_reply.h"
#include "flash/text_lines.h"

namespace quivera {

// Offsets of the entry's fields in the reply buffer (32-bit little-endian).
inline constexpr size_t kErrorLogStatusOffset = 16;
inline constexpr size_t kErrorLogCallerIdOffset = 24;
inline constexpr size_t kErrorLogTimestampLowOffset = 28;
inline constexpr size_t kErrorLogTimestampHighOffset = 32;
inline constexpr size_t kErrorLogWriteCountOffset = 36;
inline constexpr size_t kErrorLogTestIdOffset = 40;
inline constexpr size_t kErrorLogTestDataOffset = 48;      // words 0..5
inline constexpr size_t kErrorLogRegisterDumpOffset = 72;  // words 7..117

// Most lines one entry can take (full form, firmware caller, hardware fault).
inline constexpr int kErrorLogEntryMaxLines = 130;

// Appends the text of the error-log entry held in 'reply' (an ErrorLogEntry
// reply of kFlashReplySize bytes) to 'lines', from its current count on. An
// entry whose status is non-zero is reported as not existing (three lines).
// 'full' adds the test ID, the test data and the register dump.
// Returns true when every line fit; false when lines were dropped at the end
// of the list or cut at the line width (lines.truncated() is then set too).
bool FormatErrorLogEntry(TextLines& lines, std::span<const uint8_t, kFlashReplySize> reply,
                         bool full);

// Reads error-log entry 'entry' of 'adapter' into 'reply' and appends its
// "Entry #" line and its text, or, when it cannot be read, its read-error
// line and a blank one.
void AppendErrorLogEntryLines(AdapterHandle adapter, int entry, bool full, FlashReply* reply,
                              TextLines& lines);

// Appends one register-dump line: the label of 'word' (0..119) padded to 34
// characters, the word number right-aligned in 3, ':' and 'value' as eight
// upper-case hexadecimal digits. A word outside 0..119 gets an empty label.
// Same return value as FormatErrorLogEntry.
bool FormatErrorLogWordLine(TextLines& lines, int word, uint32_t value);

}  // namespace quivera
