// Fuzz target: the text of a settings file. It is read, every key of the
// program's three sections and of the first section the text names is read
// as text and as a number, two values are changed, and the rewritten text is
// read again.
//
// Beyond the sanitizers it checks that a changed value reads back as stored,
// and that every other key of those sections reads the same after the
// rewrite (the lines the program does not own are kept).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_adapters.h"
#include "settings/profile_file.h"

namespace {

using quivera::ProfileFile;

struct Read {
  std::string section;
  std::string key;
  std::optional<std::string> value;
};

// The name between the first '[' and the ']' after it, if any.
std::string FirstSectionName(std::string_view text) {
  const size_t open = text.find('[');
  if (open == std::string_view::npos) return "";
  const size_t close = text.find(']', open);
  if (close == std::string_view::npos) return "";
  return std::string(text.substr(open + 1, close - open - 1));
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using quivera::FuzzFail;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ProfileFile profile;
  profile.Parse(text);

  std::vector<std::string> sections = {"Preferences", "State", "Registration"};
  const std::string named = FirstSectionName(text);
  if (!named.empty()) sections.push_back(named);
  std::vector<Read> reads;
  for (const std::string& section : sections) {
    for (const std::string& key : profile.Keys(section)) {
      Read read{section, key, profile.GetString(section, key)};
      if (!read.value) FuzzFail("listed key has no value");
      (void)profile.GetInt(section, key, -1);
      reads.push_back(std::move(read));
    }
  }

  // Values the program writes: a number and a text needing quotes.
  const std::string kText = " \"quoted\" text ";
  const bool int_stored = profile.SetInt("State", "ActivePage", 3);
  const bool text_stored = profile.SetString("Registration", "Owner", kText);
  if (!int_stored || !text_stored) FuzzFail("value of a valid name refused");

  ProfileFile reread;
  reread.Parse(profile.Text());
  if (reread.GetInt("State", "ActivePage", -1) != 3) FuzzFail("number does not read back");
  if (reread.GetString("Registration", "Owner") != kText) FuzzFail("text does not read back");
  for (const Read& read : reads) {
    if ((SameName(read.section, "State") && SameName(read.key, "ActivePage")) ||
        (SameName(read.section, "Registration") && SameName(read.key, "Owner"))) {
      continue;
    }
    if (reread.GetString(read.section, read.key) != read.value) FuzzFail("kept value changed");
  }
  return 0;
}
