// Reading the host facts of the System page from the files this platform
// keeps them in.
#include "web/system_facts.h"

#include <sys/utsname.h>

#include <fstream>
#include <string_view>

namespace quivera {

namespace {

// A fact longer than this counts as unreadable, like a value that does not
// fit the page's fixed buffer.
constexpr size_t kMaxFactLength = 511;
// os-release is a short file; reading stops here whatever it holds.
constexpr size_t kMaxOsReleaseSize = 16 * 1024;

std::string JoinPath(const std::string& root, std::string_view relative) {
  std::string path = root.empty() ? std::string("/") : root;
  if (path.back() != '/') path.push_back('/');
  path.append(relative);
  return path;
}

// Reads at most 'limit' bytes of the file; nullopt when it cannot be opened.
std::optional<std::string> ReadFileHead(const std::string& path, size_t limit) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string text(limit, '\0');
  file.read(text.data(), static_cast<std::streamsize>(limit));
  text.resize(static_cast<size_t>(file.gcount()));
  return text;
}

// Control characters (zero bytes and line ends included) become blanks;
// blanks at both ends go. Empty or too long gives nullopt.
std::optional<std::string> CleanFact(std::string_view raw) {
  std::string text(raw);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  size_t last = text.find_last_not_of(' ');
  text = text.substr(first, last - first + 1);
  if (text.size() > kMaxFactLength) return std::nullopt;
  return text;
}

std::optional<std::string> ReadFact(const std::string& path) {
  // One byte more than a fact may hold, plus room for a line end, so that an
  // over-long value is seen as such.
  std::optional<std::string> raw = ReadFileHead(path, kMaxFactLength + 2);
  if (!raw) return std::nullopt;
  return CleanFact(*raw);
}

// The value of KEY in os-release text: KEY=value, the value optionally in
// double or single quotes, backslash escapes undone inside double quotes.
std::optional<std::string> OsReleaseValue(std::string_view text, std::string_view key) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=') {
      continue;
    }
    std::string_view value = line.substr(key.size() + 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) {
      value.remove_suffix(1);
    }
    std::string result;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      char quote = value.front();
      value = value.substr(1, value.size() - 2);
      for (size_t i = 0; i < value.size(); ++i) {
        if (quote == '"' && value[i] == '\\' && i + 1 < value.size()) ++i;
        result.push_back(value[i]);
      }
    } else {
      result.assign(value);
    }
    return CleanFact(result);
  }
  return std::nullopt;
}

std::optional<std::string> OperatingSystem(const std::string& root) {
  std::optional<std::string> text =
      ReadFileHead(JoinPath(root, "etc/os-release"), kMaxOsReleaseSize);
  if (!text) text = ReadFileHead(JoinPath(root, "usr/lib/os-release"), kMaxOsReleaseSize);
  if (!text) return std::nullopt;
  if (auto pretty = OsReleaseValue(*text, "PRETTY_NAME")) return pretty;
  std::optional<std::string> name = OsReleaseValue(*text, "NAME");
  std::optional<std::string> version = OsReleaseValue(*text, "VERSION");
  if (name && version) return CleanFact(*name + " " + *version);
  return name ? name : version;
}

}  // namespace

SystemFacts SystemFacts::FromFiles(const std::string& root, const std::string& kernel_release,
                                   const std::string& machine) {
  SystemFacts facts;
  facts.os_version = OperatingSystem(root);
  facts.build_number = CleanFact(kernel_release);
  std::optional<std::string> product = ReadFact(JoinPath(root, "sys/class/dmi/id/product_name"));
  std::optional<std::string> machine_type = CleanFact(machine);
  if (machine_type && product) {
    facts.system_type = CleanFact(*machine_type + " " + *product);
  } else {
    facts.system_type = machine_type ? machine_type : product;
  }
  facts.bios_version = ReadFact(JoinPath(root, "sys/class/dmi/id/bios_version"));
  facts.bios_date = ReadFact(JoinPath(root, "sys/class/dmi/id/bios_date"));
  return facts;
}

SystemFacts SystemFacts::FromHost(const std::string& root) {
  struct utsname names {};
  if (uname(&names) != 0) return FromFiles(root, std::string(), std::string());
  return FromFiles(root, names.release, names.machine);
}

}  // namespace quivera
