// The text forms of a 6-byte station or group address, byte 0 being the
// first byte the adapter delivers, and the rules that choose among them by
// the "TranslateAddr" and "PhysicalAddrFormat" preferences. The preferences
// are parameters, so a view that always wants one form (the web pages show
// the canonical form only) can ask for it directly.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quivera {

class MulticastNames;

using AddressBytes = std::span<const uint8_t, 6>;

// "%02X-%02X-%02X-%02X-%02X-%02X" over the bytes as stored.
std::string CanonicalAddressText(AddressBytes address);

// Each byte bit-reversed (0x01 -> 0x80), then "%02X:%02X:...:%02X".
std::string MsbAddressText(AddressBytes address);

// "Velkor <area>.<node>" from v = byte4 + 256 * byte5: area v >> 10, node
// v & 0x3FF.
std::string VelkorAddressText(AddressBytes address);

// 'value' with its eight bits in reverse order.
uint8_t ReverseBits(uint8_t value);

// The two address preferences as the settings hold them.
struct AddressPreferences {
  int translate_addr = 0;        // 0 = translation on (default), 1 = off
  int physical_addr_format = 0;  // 0 = canonical (default), 1 = MSB
};

// True when 'address' belongs to the vendor's translated address block
// (bytes 0 to 2 are AA-00-04; byte 3 is not looked at).
bool IsVelkorAddress(AddressBytes address);

// A current address or a neighbour: the Velkor text when translation is on
// and the address is in the translated block (whatever the format says),
// else the MSB text when "PhysicalAddrFormat" is 1, else the canonical text.
std::string StationAddressText(AddressBytes address, const AddressPreferences& preferences);

// A burnt-in address: the MSB text when "PhysicalAddrFormat" is 1, else the
// canonical text; never translated.
std::string PermanentAddressText(AddressBytes address, const AddressPreferences& preferences);

// One entry of the multicast address list: the protocol name from 'names'
// when translation is on and the address has one, else the MSB text when
// "PhysicalAddrFormat" is 1, else the canonical text. Never a Velkor text.
// A lookup structure that is not built names nothing.
std::string MulticastEntryText(AddressBytes address, const AddressPreferences& preferences,
                               const MulticastNames& names);

}  // namespace quivera
