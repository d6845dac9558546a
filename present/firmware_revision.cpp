#include "present/firmware_revision.h"

namespace quivera {

std::string FirmwareRevisionText(const std::array<uint8_t, 4>& bytes) {
  std::string text;
  for (size_t i = bytes.size(); i-- > 0;) {
    if (bytes[i] == 0) break;
    text.push_back(static_cast<char>(bytes[i]));
  }
  return text;
}

bool ReadFirmwareRevision(AdapterHandle adapter, std::string* text) {
  std::array<uint8_t, 4> bytes{};
  size_t length = bytes.size();
  if (adapter.GetItem(ManagementItem::FirmwareRevision, bytes.data(), &length) != 0 ||
      length != bytes.size()) {
    return false;
  }
  *text = FirmwareRevisionText(bytes);
  return true;
}

}  // namespace quivera
