// Sizes and offsets of the flash replies the layouts read: an error-log entry
// (ErrorLogEntry, instance 0..3), the driver parameter block
// (DriverParameters) and the serial-number block (SerialNumber). Each is read
// into a buffer of kFlashReplySize bytes.
#pragma once

#include <cstddef>

namespace quivera {

// Buffer size for reading any of the three flash items.
inline constexpr size_t kFlashReplySize = 520;
// Offset of the block data in a DriverParameters or SerialNumber reply.
inline constexpr size_t kFlashBlockDataOffset = 20;
// Lengths of the block data.
inline constexpr size_t kDriverParametersLength = 496;
inline constexpr size_t kSerialNumberLength = 128;

static_assert(kFlashBlockDataOffset + kDriverParametersLength <= kFlashReplySize);
static_assert(kFlashBlockDataOffset + kSerialNumberLength <= kFlashReplySize);

}  // namespace quivera
