// Station files: what a tester changes in the emulated stations. An INI file
// with one section per served device ([korap1]) and lines
//
//   oid.OID = VALUE              the reply of that OID (standard or vendor)
//   block.C.OFF = VALUE          bytes at offset OFF of the reply of
//                                management request C (4, 5, 12, 16, 20, 27)
//   block.10.E.OFF = VALUE       the same for error-log entry E (0..3)
//   fail.oid.OID = 1             requests of that OID fail (0: they do not)
//   fail.block.C = 1             management requests of code C fail
//
// OID, C, E and OFF are numbers, decimal or 0x hexadecimal. VALUE is a number
// (one little-endian 32-bit word), hex byte pairs joined by '-' (those
// bytes; a single byte is a pair that is no decimal number, "FF", or a pair
// and a '-', "12-"), or "text" (the text and a terminating zero). Lines whose
// first non-blank character is ';' or '#' are comments; a number or byte
// list may be followed by a comment too, a "text" after its closing quote. A
// UTF-8 byte-order mark at the start of the file is skipped.
//
// oid.0xFF000005 presets the station record: its first bytes (at most 380),
// the rest as by default. The OIDs the station answers itself (management
// requests, adapter control, the three firmware steps) take no stored reply
// and are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/station.h"

namespace quivera {

struct StationFileEntry {
  enum class Kind { kOid, kBlock, kErrorLog, kFailOid, kFailBlock };
  std::string device;
  Kind kind = Kind::kOid;
  uint32_t oid = 0;            // kOid, kFailOid
  int code = 0;                // kBlock, kFailBlock (kErrorLog: 10)
  int entry = 0;               // kErrorLog
  size_t offset = 0;           // kBlock, kErrorLog
  std::vector<uint8_t> bytes;  // kOid, kBlock, kErrorLog
  bool fail = false;           // kFailOid, kFailBlock
  int line = 0;
};

// Largest station file read.
inline constexpr size_t kMaxStationFileSize = 1u << 20;
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Longest piece of file text a message repeats.
inline constexpr size_t kShownTextLimit = 60;

// 'text' as the messages show it: control bytes, bytes from 0x7F on and '\'
// written as \xNN, so that nothing from the file reaches the terminal raw;
// cut after kShownTextLimit characters with "...".
std::string ShownText(const std::string& text);

// Parses one VALUE. Returns true with its bytes, or false with the problem
// (for example "bad number '12x'", "unterminated quote").
bool ParseStationValue(const std::string& text, std::vector<uint8_t>* bytes, std::string* problem);

// Parses the text of a station file. 'devices' are the served devices: every
// section must name one of them. Returns true with the entries in file order,
// or false with "FILE:LINE: problem" in *error (FILE is 'file_name').
bool ParseStationFile(const std::string& text, const std::string& file_name,
                      const std::vector<std::string>& devices,
                      std::vector<StationFileEntry>* entries, std::string* error);

// Reads and parses the file at 'path'; an unreadable or oversized file is an
// error too ("FILE: problem").
bool LoadStationFile(const std::string& path, const std::vector<std::string>& devices,
                     std::vector<StationFileEntry>* entries, std::string* error);

// Applies one entry to 'station'. Returns 0, or 1 when the station refuses it
// (never for an entry the parser accepted).
int ApplyStationEntry(const StationFileEntry& entry, Station& station);

}  // namespace quivera
