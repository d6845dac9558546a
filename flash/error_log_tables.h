// The texts of an error-log entry: the caller-ID, halt-code and fault-type
// lines, and the labels of the 120 words of the register dump. Plain data,
// looked up by one function; the layout in error_log_layout.h uses them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quivera {

// One decoded value and its whole line, spaces included.
struct ErrorLogCodeLine {
  uint32_t value;
  const char* line;
};

// Caller IDs 0..8, halt codes 0..8 and the listed fault types.
std::span<const ErrorLogCodeLine> CallerIdLines();
std::span<const ErrorLogCodeLine> HaltCodeLines();
std::span<const ErrorLogCodeLine> FaultTypeLines();

// The line of 'value' in 'table', or nullptr when the table does not list it
// (the layout then shows the value in hexadecimal with "UNKNOWN").
const char* FindErrorLogCodeLine(std::span<const ErrorLogCodeLine> table, uint32_t value);

// The caller ID of entries written by the adapter firmware: only these carry a
// halt code.
inline constexpr uint32_t kCallerIdFirmware = 5;
// The halt code of a hardware fault: only this one carries a fault type.
inline constexpr uint32_t kHaltCodeHardwareFault = 4;

// Label of one register-dump word: a name and, for adapter registers, the
// register address ("0x208000"), or nullptr when no address is shown.
struct ErrorLogWordLabel {
  const char* name;
  const char* address;
};

inline constexpr int kErrorLogWords = 120;

// Labels of words 0 .. 119, by word number.
const std::array<ErrorLogWordLabel, kErrorLogWords>& ErrorLogWordLabels();

}  // namespace quivera
