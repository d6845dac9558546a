// The INI profile: lookup rules of the private-profile calls, line-preserving
// changes, atomic replacement on save.
#include "settings/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>

#include "settings/ascii_case.h"
#include "settings/regular_file.h"

namespace quivera {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// "[name]" -> name (trimmed). Nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view text = Trim(line);
  if (text.size() < 2 || text.front() != '[') return std::nullopt;
  size_t close = text.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  std::string_view text = Trim(line);
  return !text.empty() && (text.front() == ';' || text.front() == '#');
}

// The key of a "key=value" line (trimmed); nothing for sections, comments,
// blank lines and lines without '='.
std::optional<std::string_view> KeyName(std::string_view line) {
  if (IsComment(line) || SectionName(line)) return std::nullopt;
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::string_view key = Trim(line.substr(0, equals));
  if (key.empty()) return std::nullopt;
  return key;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The text a value is stored as, so that it reads back as 'value'.
std::string StoredForm(std::string_view value) {
  std::string text(value);
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  bool needs_quotes =
      !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()) ||
                        (text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front()));
  return needs_quotes ? "\"" + text + "\"" : text;
}

bool ValidName(std::string_view name, bool is_key) {
  if (Trim(name).empty() || Trim(name) != name) return false;
  for (char c : name) {
    if (c == '\r' || c == '\n' || c == '\0' || c == ']') return false;
    if (is_key && c == '=') return false;
  }
  if (name.front() == '[' || name.front() == ';' || name.front() == '#') return false;
  return true;
}

}  // namespace

std::optional<int32_t> ParseProfileInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  int64_t magnitude = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) magnitude = limit;  // saturate, keep consuming digits
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

ProfileFile::LoadStatus ProfileFile::Load(const std::string& path, std::string* error) {
  Parse("");
  // A FIFO or a device named as the settings file must not hold start-up.
  RegularFileRefusal refusal;
  int fd = OpenRegularFile(path, O_RDONLY, &refusal);
  if (fd < 0) {
    if (refusal == RegularFileRefusal::kNotRegular) {
      if (error) *error = path + ": not a regular file";
      return LoadStatus::kUnreadable;
    }
    if (errno == ENOENT || errno == ENOTDIR) return LoadStatus::kMissing;
    if (error) *error = ErrnoResult(path, errno).message;
    return LoadStatus::kUnreadable;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || static_cast<uint64_t>(info.st_size) > kMaxFileSize) {
    if (error) *error = path + ": not a settings file of a readable size";
    close(fd);
    return LoadStatus::kUnreadable;
  }
  std::string text;
  char chunk[4096];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || text.size() + static_cast<size_t>(got) > kMaxFileSize) {
      if (error) *error = got < 0 ? ErrnoResult(path, errno).message : path + ": file too large";
      close(fd);
      return LoadStatus::kUnreadable;
    }
    if (got == 0) break;
    text.append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  Parse(text);
  return LoadStatus::kLoaded;
}

void ProfileFile::Parse(std::string_view text) {
  lines_.clear();
  ending_ = "\n";
  bool ending_seen = false;
  bom_ = text.substr(0, kBom.size()) == kBom;
  if (bom_) text.remove_prefix(kBom.size());
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    // A CR before the LF belongs to the ending; so does a CR that ends the file.
    const bool cr = !line.empty() && line.back() == '\r';
    if (cr) line.remove_suffix(1);
    std::string ending = end == std::string_view::npos ? (cr ? "\r" : "") : (cr ? "\r\n" : "\n");
    if (!ending_seen && end != std::string_view::npos) {
      ending_ = ending;
      ending_seen = true;
    }
    lines_.push_back({std::string(line), std::move(ending)});
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

std::string ProfileFile::Text() const {
  std::string text = bom_ ? std::string(kBom) : std::string();
  for (const Line& line : lines_) {
    text += line.text;
    text += line.ending;
  }
  return text;
}

void ProfileFile::InsertLine(size_t at, std::string text) {
  // The last line may end in a lone CR or in nothing; a line after it needs
  // a line break between them.
  if (at > 0) {
    std::string& before = lines_[at - 1].ending;
    if (before.empty()) before = ending_;
    if (before == "\r") before = "\r\n";
  }
  lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(at), Line{std::move(text), ending_});
}

size_t ProfileFile::FindKey(std::string_view section, std::string_view key) const {
  bool inside = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (auto name = SectionName(lines_[i].text)) {
      inside = SameName(*name, section);
    } else if (inside) {
      auto found = KeyName(lines_[i].text);
      if (found && SameName(*found, key)) return i;
    }
  }
  return std::string::npos;
}

std::optional<std::string> ProfileFile::GetString(std::string_view section,
                                                  std::string_view key) const {
  size_t at = FindKey(section, key);
  if (at == std::string::npos) return std::nullopt;
  const std::string& line = lines_[at].text;
  return std::string(Unquote(Trim(std::string_view(line).substr(line.find('=') + 1))));
}

int32_t ProfileFile::GetInt(std::string_view section, std::string_view key,
                            int32_t fallback) const {
  std::optional<std::string> text = GetString(section, key);
  if (!text) return fallback;
  return ParseProfileInt(*text).value_or(fallback);
}

std::vector<std::string> ProfileFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  bool inside = false;
  for (const Line& line : lines_) {
    if (auto name = SectionName(line.text)) {
      inside = SameName(*name, section);
      continue;
    }
    if (!inside) continue;
    auto key = KeyName(line.text);
    if (!key) continue;
    bool seen = false;
    for (const std::string& known : keys) seen = seen || SameName(known, *key);
    if (!seen) keys.emplace_back(*key);
  }
  return keys;
}

bool ProfileFile::SetString(std::string_view section, std::string_view key,
                            std::string_view value) {
  if (!ValidName(section, false) || !ValidName(key, true)) return false;
  const std::string stored = StoredForm(value);

  size_t at = FindKey(section, key);
  if (at != std::string::npos) {
    std::string& line = lines_[at].text;
    if (GetString(section, key) == std::string(Unquote(Trim(stored)))) return true;
    // Keep the line's own spelling of the key and the blanks around '='.
    size_t value_start = line.find('=') + 1;
    while (value_start < line.size() && IsBlank(line[value_start])) ++value_start;
    line = line.substr(0, value_start) + stored;
    return true;
  }

  const std::string new_line = std::string(key) + "=" + stored;
  size_t insert_after = std::string::npos;  // last key line (or header) of the section
  bool inside = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (auto name = SectionName(lines_[i].text)) {
      if (inside) break;  // end of the section's first occurrence
      inside = SameName(*name, section);
      if (inside) insert_after = i;
    } else if (inside && KeyName(lines_[i].text)) {
      insert_after = i;
    }
  }
  if (insert_after != std::string::npos) {
    InsertLine(insert_after + 1, new_line);
    return true;
  }
  if (!lines_.empty() && !Trim(lines_.back().text).empty()) InsertLine(lines_.size(), "");
  InsertLine(lines_.size(), "[" + std::string(section) + "]");
  InsertLine(lines_.size(), new_line);
  return true;
}

bool ProfileFile::SetInt(std::string_view section, std::string_view key, int32_t value) {
  return SetString(section, key, std::to_string(value));
}

std::string SaveTarget(const std::string& path) {
  namespace fs = std::filesystem;
  constexpr int kMaxLinks = 40;
  fs::path current(path);
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current.string();
    const fs::path next = fs::read_symlink(current, ec);
    if (ec) return current.string();
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return path;
}

Result ProfileFile::Save(const std::string& path) const {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target(SaveTarget(path));
  if (target.has_parent_path()) {
    fs::create_directories(target.parent_path(), ec);
    if (ec) return Result::Error(target.parent_path().string() + ": " + ec.message());
  }

  // An existing file keeps its permissions; a new one is private to the user,
  // since the registration card's details live in it.
  mode_t mode = 0600;
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) mode = info.st_mode & 07777;

  // A name of its own beside the target: the rename stays within one file
  // system, and a second copy saving at the same moment cannot write into
  // or move away this one's text.
  std::string temp = target.string() + ".tmp-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return ErrnoResult(target.string() + ".tmp", errno);

  auto fail = [&](int error_number) {
    if (fd >= 0) close(fd);
    unlink(temp.c_str());
    return ErrnoResult(temp, error_number);
  };
  if (fchmod(fd, mode) != 0) return fail(errno);
  const std::string text = Text();
  size_t done = 0;
  while (done < text.size()) {
    ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return fail(wrote < 0 ? errno : EIO);
    done += static_cast<size_t>(wrote);
  }
  if (fsync(fd) != 0) return fail(errno);
  int closed = close(fd);
  fd = -1;
  if (closed != 0) return fail(errno);
  if (rename(temp.c_str(), target.c_str()) != 0) {
    int error_number = errno;
    unlink(temp.c_str());
    return ErrnoResult(target.string(), error_number);
  }
  // Make the rename itself durable; a failure here loses nothing already written.
  fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  int dir_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    fsync(dir_fd);
    close(dir_fd);
  }
  return Result::Ok();
}

}  // namespace quivera
