// Sizes and offsets of the flash replies the layouts read: an error-log entry
// (ErrorLogEntry, instance 0..3), the driver parameter block
// (DriverParameters) and the serial-number block (SerialNumber). Each is read
// into a buffer of kFlashReplySize bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "adapter/adapter_list.h"

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

using FlashReply = std::array<uint8_t, kFlashReplySize>;

// Reads flash item 'item' (entry 'instance' of the error log) of 'adapter'
// into 'reply', which is cleared first so that a short reply leaves zeros
// behind it. True on success.
bool ReadFlashItem(AdapterHandle adapter, ManagementItem item, int instance, FlashReply* reply);

}  // namespace quivera
