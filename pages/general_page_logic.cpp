// The General page's statistics table and text rules.
#include "pages/general_page_logic.h"

#include <cstring>

#include "present/value_texts.h"

namespace quivera {

namespace {

constexpr GeneralStatistic kStatistics[kGeneralStatistics] = {
    {"Frames Transmitted OK", ManagementItem::FramesTransmittedOk},
    {"Frames Received OK", ManagementItem::FramesReceivedOk},
    {"Transmit Errors", ManagementItem::TransmitErrors},
    {"Receive Errors", ManagementItem::ReceiveErrors},
    {"No Receive Buffer Errors", ManagementItem::NoBufferErrors},
    {"Receive CRC Errors", ManagementItem::ReceiveCrcErrors},
};

}  // namespace

std::span<const GeneralStatistic, kGeneralStatistics> GeneralStatistics() { return kStatistics; }

ReceiveFilterFlags ReceiveFilterFlagsFor(uint32_t bits) {
  ReceiveFilterFlags flags{};
  const std::span<const BitText> rows = ReceiveFilterBits();
  for (size_t i = 0; i < flags.size() && i < rows.size(); ++i) {
    flags[i] = (bits & rows[i].bit) != 0;
  }
  return flags;
}

std::string AdapterText(const char* buffer, size_t length) {
  if (buffer == nullptr) return std::string();
  const void* nul = std::memchr(buffer, 0, length);
  const size_t size =
      nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : length;
  return std::string(buffer, size);
}

uint32_t CountSinceClear(uint32_t value, uint32_t baseline) { return value - baseline; }

int64_t StatisticSinceBaseline(uint32_t value, uint32_t baseline) {
  return static_cast<int64_t>(value) - static_cast<int64_t>(baseline);
}

uint32_t BaselineAfterClear(uint32_t baseline, int64_t shown) {
  return baseline + static_cast<uint32_t>(shown);
}

}  // namespace quivera
