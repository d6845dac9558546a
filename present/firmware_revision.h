// The adapter's firmware revision as the pages, the hypertext pages and the
// firmware upgrade show and compare it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "adapter/adapter_list.h"

namespace quivera {

// The firmware revision text: the four bytes of the item, last byte first.
// Like the C "%c" text it is made from, it ends at the first NUL byte, so a
// revision "1.2" padded with a zero byte shows as "1.2" (and a zero last byte
// gives an empty text).
std::string FirmwareRevisionText(const std::array<uint8_t, 4>& bytes);

// Reads the revision of 'adapter' into '*text'; false, with '*text'
// untouched, when the read fails or gives fewer than the four bytes.
bool ReadFirmwareRevision(AdapterHandle adapter, std::string* text);

}  // namespace quivera
