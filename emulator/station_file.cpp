#include "emulator/station_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "adapter/little_endian.h"
#include "adapter/management_request.h"

namespace quivera {

namespace {

constexpr int kBlockCodes[] = {4, 5, 12, 16, 20, 27};
constexpr int kErrorLogCode = 10;
// Every management request code the station answers.
constexpr int kRequestCodes[] = {4, 5, 9, 10, 12, 16, 17, 19, 20, 26, 27};

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(blanks);
  return text.substr(begin, end - begin + 1);
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// A decimal or 0x-hexadecimal number up to 0xFFFFFFFF.
bool ParseNumber(const std::string& text, uint32_t* value) {
  uint64_t result = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() > 10) return false;
    for (size_t i = 2; i < text.size(); ++i) {
      if (!IsHexDigit(text[i])) return false;
      result = result * 16 + static_cast<uint64_t>(HexValue(text[i]));
    }
  } else {
    if (text.empty() || text.size() > 10) return false;
    for (char c : text) {
      if (!IsDigit(c)) return false;
      result = result * 10 + static_cast<uint64_t>(c - '0');
    }
  }
  if (result > 0xFFFFFFFFu) return false;
  *value = static_cast<uint32_t>(result);
  return true;
}

std::string Hex(size_t value) {
  char text[24];
  std::snprintf(text, sizeof(text), "0x%zX", value);
  return text;
}

// Vendor OIDs the station answers itself, whose reply a file cannot give.
// (The station record, 0xFF000005, is preset instead; the firmware status,
// 0xFF00000C, takes a stored reply.)
constexpr uint32_t kAnsweredOids[] = {kOidManagementQuery, kOidAdapterControl,
                                      kOidFirmwarePrepare, kOidFirmwareLoad, kOidFirmwareCommit};

// Text from the file as a message shows it.
std::string Quoted(const std::string& text) { return "'" + ShownText(text) + "'"; }

bool Contains(const int* begin, const int* end, int value) {
  return std::find(begin, end, value) != end;
}

// Splits "a.b.c" at the dots.
std::vector<std::string> Split(const std::string& key) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(key);
  while (std::getline(stream, part, '.')) parts.push_back(part);
  if (!key.empty() && key.back() == '.') parts.emplace_back();
  return parts;
}

// Parses KEY (already trimmed) into 'entry'. Returns "" or the problem.
std::string ParseKey(const std::string& key, StationFileEntry* entry) {
  const std::vector<std::string> parts = Split(key);
  const std::string unknown = "unknown key " + Quoted(key);
  auto number = [](const std::string& text, uint32_t* value) -> std::string {
    if (ParseNumber(text, value)) return {};
    return "bad number " + Quoted(text);
  };
  auto block_code = [&](const std::string& text, int* code) -> std::string {
    uint32_t value = 0;
    std::string problem = number(text, &value);
    if (!problem.empty()) return problem;
    *code = static_cast<int>(value);
    if (value > 1000 || (!Contains(std::begin(kBlockCodes), std::end(kBlockCodes), *code) &&
                         *code != kErrorLogCode)) {
      return "unknown block code " + ShownText(text) + " (expected 4, 5, 12, 16, 20, 27 or 10.ENTRY)";
    }
    return {};
  };
  auto offset = [&](const std::string& text, size_t* at) -> std::string {
    uint32_t value = 0;
    std::string problem = number(text, &value);
    if (!problem.empty()) return problem;
    if (value >= Station::kBlockSize) {
      return "offset " + ShownText(text) + " outside the block (0.." + Hex(Station::kBlockSize - 1) +
             ")";
    }
    *at = value;
    return {};
  };

  if (parts.size() == 2 && parts[0] == "oid") {
    entry->kind = StationFileEntry::Kind::kOid;
    std::string problem = number(parts[1], &entry->oid);
    if (!problem.empty()) return problem;
    if (std::find(std::begin(kAnsweredOids), std::end(kAnsweredOids), entry->oid) !=
        std::end(kAnsweredOids)) {
      return "oid." + Hex(entry->oid) + " is answered by the station itself (fail.oid." +
             Hex(entry->oid) + " = 1 makes it fail)";
    }
    return {};
  }
  if (parts.size() >= 3 && parts.size() <= 4 && parts[0] == "block") {
    std::string problem = block_code(parts[1], &entry->code);
    if (!problem.empty()) return problem;
    if (entry->code == kErrorLogCode) {
      if (parts.size() != 4) return "block.10 needs an entry: block.10.ENTRY.OFFSET";
      uint32_t index = 0;
      problem = number(parts[2], &index);
      if (!problem.empty()) return problem;
      if (index > 3) return "error-log entry " + ShownText(parts[2]) + " outside 0..3";
      entry->kind = StationFileEntry::Kind::kErrorLog;
      entry->entry = static_cast<int>(index);
      return offset(parts[3], &entry->offset);
    }
    if (parts.size() != 3) return unknown;
    entry->kind = StationFileEntry::Kind::kBlock;
    return offset(parts[2], &entry->offset);
  }
  if (parts.size() == 3 && parts[0] == "fail" && parts[1] == "oid") {
    entry->kind = StationFileEntry::Kind::kFailOid;
    return number(parts[2], &entry->oid);
  }
  if (parts.size() == 3 && parts[0] == "fail" && parts[1] == "block") {
    uint32_t value = 0;
    std::string problem = number(parts[2], &value);
    if (!problem.empty()) return problem;
    entry->kind = StationFileEntry::Kind::kFailBlock;
    entry->code = static_cast<int>(value);
    if (value > 1000 ||
        !Contains(std::begin(kRequestCodes), std::end(kRequestCodes), entry->code)) {
      return "unknown request code " + ShownText(parts[2]);
    }
    return {};
  }
  return unknown;
}

}  // namespace

std::string ShownText(const std::string& text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (shown.size() >= kShownTextLimit) {
      shown += "...";
      break;
    }
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte >= 0x7F || byte == '\\') {
      shown += "\\x";
      shown += kDigits[byte >> 4];
      shown += kDigits[byte & 0x0F];
    } else {
      shown += static_cast<char>(byte);
    }
  }
  return shown;
}

bool ParseStationValue(const std::string& text, std::vector<uint8_t>* bytes, std::string* problem) {
  std::string value = Trim(text);
  bytes->clear();
  if (!value.empty() && value[0] == '"') {
    size_t close = value.find('"', 1);
    if (close == std::string::npos) {
      *problem = "unterminated quote";
      return false;
    }
    const std::string rest = Trim(value.substr(close + 1));
    if (!rest.empty() && rest[0] != ';' && rest[0] != '#') {
      *problem = "unexpected " + Quoted(rest) + " after the closing quote";
      return false;
    }
    bytes->assign(value.begin() + 1, value.begin() + static_cast<ptrdiff_t>(close));
    bytes->push_back(0);
    return true;
  }
  value = Trim(value.substr(0, value.find_first_of(";#")));
  if (value.empty()) {
    *problem = "missing value";
    return false;
  }
  // One byte: a lone pair that is no decimal number ("FF"), or any pair with
  // a '-' after it ("12-").
  const bool one_byte = (value.size() == 2 && !(IsDigit(value[0]) && IsDigit(value[1]))) ||
                        (value.size() == 3 && value[2] == '-');
  if (one_byte && IsHexDigit(value[0]) && IsHexDigit(value[1])) {
    bytes->push_back(static_cast<uint8_t>(HexValue(value[0]) * 16 + HexValue(value[1])));
    return true;
  }
  if (value.find('-') != std::string::npos) {
    std::vector<std::string> pairs;
    std::string pair;
    std::istringstream stream(value);
    while (std::getline(stream, pair, '-')) pairs.push_back(pair);
    if (value.back() == '-') pairs.emplace_back();
    for (const std::string& p : pairs) {
      if (p.size() != 2 || !IsHexDigit(p[0]) || !IsHexDigit(p[1])) {
        *problem = "bad byte " + Quoted(p) + " in " + Quoted(value) + " (expected XX-XX-...)";
        bytes->clear();
        return false;
      }
      bytes->push_back(static_cast<uint8_t>(HexValue(p[0]) * 16 + HexValue(p[1])));
    }
    return true;
  }
  uint32_t number = 0;
  if (!ParseNumber(value, &number)) {
    *problem = "bad number " + Quoted(value);
    return false;
  }
  bytes->resize(4);
  StoreU32(bytes->data(), number);
  return true;
}

bool ParseStationFile(const std::string& text, const std::string& file_name,
                      const std::vector<std::string>& devices,
                      std::vector<StationFileEntry>* entries, std::string* error) {
  entries->clear();
  std::istringstream stream(text);
  std::string raw;
  std::string section;
  int number = 0;
  auto fail = [&](const std::string& problem) {
    *error = file_name + ":" + std::to_string(number) + ": " + problem;
    entries->clear();
    return false;
  };
  // A file saved with a byte-order mark starts with its three bytes.
  if (text.rfind(kUtf8Bom, 0) == 0) stream.seekg(static_cast<std::streamoff>(kUtf8Bom.size()));
  while (std::getline(stream, raw)) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      if (close == std::string::npos) return fail("unterminated section header " + Quoted(line));
      const std::string rest = Trim(line.substr(close + 1));
      if (!rest.empty() && rest[0] != ';' && rest[0] != '#') {
        return fail("unexpected " + Quoted(rest) + " after the section header");
      }
      section = Trim(line.substr(1, close - 1));
      if (std::find(devices.begin(), devices.end(), section) == devices.end()) {
        std::string served;
        for (const std::string& device : devices) served += " " + device;
        return fail("section [" + ShownText(section) + "] is not a served device (served:" + served +
                    ")");
      }
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) return fail("missing '=' in " + Quoted(line));
    const std::string key = Trim(line.substr(0, equals));
    if (key.empty()) return fail("missing key before '='");
    if (section.empty()) return fail("key " + Quoted(key) + " outside a device section");

    StationFileEntry entry;
    entry.device = section;
    entry.line = number;
    std::string problem = ParseKey(key, &entry);
    if (!problem.empty()) return fail(problem);

    std::vector<uint8_t> bytes;
    if (!ParseStationValue(line.substr(equals + 1), &bytes, &problem)) return fail(problem);
    if (entry.kind == StationFileEntry::Kind::kFailOid ||
        entry.kind == StationFileEntry::Kind::kFailBlock) {
      const uint32_t flag = bytes.size() == 4 ? LoadU32(bytes.data()) : 2;
      if (flag > 1) return fail("fail value must be 0 or 1");
      entry.fail = flag == 1;
    } else {
      if (entry.kind == StationFileEntry::Kind::kOid && entry.oid == kOidStationRecord &&
          bytes.size() > StationIdRecord::kSize) {
        return fail("value of " + std::to_string(bytes.size()) +
                    " bytes is longer than the station record (" +
                    std::to_string(StationIdRecord::kSize) + " bytes)");
      }
      if ((entry.kind == StationFileEntry::Kind::kBlock ||
           entry.kind == StationFileEntry::Kind::kErrorLog) &&
          entry.offset + bytes.size() > Station::kBlockSize) {
        return fail("value of " + std::to_string(bytes.size()) + " bytes at offset " +
                    Hex(entry.offset) + " runs past the end of the block (" +
                    std::to_string(Station::kBlockSize) + " bytes)");
      }
      entry.bytes = std::move(bytes);
    }
    entries->push_back(std::move(entry));
  }
  return true;
}

bool LoadStationFile(const std::string& path, const std::vector<std::string>& devices,
                     std::vector<StationFileEntry>* entries, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = path + ": cannot read: " + std::strerror(errno);
    return false;
  }
  std::string text;
  char chunk[4096];
  while (file.read(chunk, sizeof(chunk)) || file.gcount() > 0) {
    text.append(chunk, static_cast<size_t>(file.gcount()));
    if (text.size() > kMaxStationFileSize) {
      *error = path + ": larger than " + std::to_string(kMaxStationFileSize) + " bytes";
      return false;
    }
  }
  if (file.bad()) {
    *error = path + ": cannot read";
    return false;
  }
  return ParseStationFile(text, path, devices, entries, error);
}

int ApplyStationEntry(const StationFileEntry& entry, Station& station) {
  switch (entry.kind) {
    case StationFileEntry::Kind::kOid:
      if (entry.oid == kOidStationRecord) return station.SetStationRecord(entry.bytes);
      station.SetOid(entry.oid, entry.bytes);
      return 0;
    case StationFileEntry::Kind::kBlock:
      return station.SetBlock(entry.code, entry.offset, entry.bytes);
    case StationFileEntry::Kind::kErrorLog:
      return station.SetErrorLog(entry.entry, entry.offset, entry.bytes);
    case StationFileEntry::Kind::kFailOid:
      station.FailOid(entry.oid, entry.fail);
      return 0;
    case StationFileEntry::Kind::kFailBlock:
      station.FailBlock(entry.code, entry.fail);
      return 0;
  }
  return 1;
}

}  // namespace quivera
