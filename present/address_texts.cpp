// Address text forms. Formatting is done by hand (fixed hexadecimal and
// decimal digits) so the result never depends on the process locale.
#include "present/address_texts.h"

#include <charconv>

#include "present/multicast_names.h"

namespace quivera {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string HexBytes(const uint8_t (&bytes)[6], char separator) {
  std::string text;
  text.reserve(17);
  for (int i = 0; i < 6; ++i) {
    if (i > 0) text += separator;
    text += kHexDigits[bytes[i] >> 4];
    text += kHexDigits[bytes[i] & 0x0F];
  }
  return text;
}

void AppendDecimal(std::string& text, unsigned value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof(digits), value);
  text.append(digits, result.ptr);
}

std::string HexAddressText(AddressBytes address, const AddressPreferences& preferences) {
  return preferences.physical_addr_format == 1 ? MsbAddressText(address)
                                               : CanonicalAddressText(address);
}

}  // namespace

uint8_t ReverseBits(uint8_t value) {
  uint8_t reversed = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (value & (1u << bit)) reversed |= static_cast<uint8_t>(0x80u >> bit);
  }
  return reversed;
}

std::string CanonicalAddressText(AddressBytes address) {
  uint8_t bytes[6];
  for (int i = 0; i < 6; ++i) bytes[i] = address[i];
  return HexBytes(bytes, '-');
}

std::string MsbAddressText(AddressBytes address) {
  uint8_t bytes[6];
  for (int i = 0; i < 6; ++i) bytes[i] = ReverseBits(address[i]);
  return HexBytes(bytes, ':');
}

std::string VelkorAddressText(AddressBytes address) {
  const unsigned v = address[4] + 256u * address[5];
  std::string text = "Velkor ";
  AppendDecimal(text, v >> 10);
  text += '.';
  AppendDecimal(text, v & 0x3FF);
  return text;
}

bool IsVelkorAddress(AddressBytes address) {
  return address[0] == 0xAA && address[1] == 0x00 && address[2] == 0x04;
}

std::string StationAddressText(AddressBytes address, const AddressPreferences& preferences) {
  if (preferences.translate_addr == 0 && IsVelkorAddress(address)) {
    return VelkorAddressText(address);
  }
  return HexAddressText(address, preferences);
}

std::string PermanentAddressText(AddressBytes address, const AddressPreferences& preferences) {
  return HexAddressText(address, preferences);
}

std::string MulticastEntryText(AddressBytes address, const AddressPreferences& preferences,
                               const MulticastNames& names) {
  if (preferences.translate_addr == 0) {
    if (const char* name = names.Find(address)) return name;
  }
  return HexAddressText(address, preferences);
}

}  // namespace quivera
