// An INI profile file held as its lines, read and written the way the
// private-profile calls of the original platform behave:
//   - section and key names match without regard to case, surrounding blanks
//     ignored; the first matching key wins;
//   - a value is the text after the first '=', blanks trimmed, one pair of
//     matching surrounding quotes removed;
//   - a number is leading blanks, an optional sign and decimal digits, read up
//     to the first other character ("7x" reads 7); no digit at all, or no key,
//     gives the caller's default; values beyond 32 bits saturate.
// Changing a value rewrites only that line (or appends one); every other line
// (other sections, unknown keys, comments, blank lines) is kept byte for byte,
// each with its own line ending (LF, CR LF, or a lone CR or none at the end of
// the file). Saving replaces the file atomically.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/result.h"

namespace quivera {

class ProfileFile {
 public:
  // Files larger than this are refused as unreadable.
  static constexpr size_t kMaxFileSize = 4 * 1024 * 1024;

  // The outcome of Load.
  enum class LoadStatus { kLoaded, kMissing, kUnreadable };

  ProfileFile() = default;

  // Reads 'path'. kMissing (the file does not exist) and kUnreadable (cannot
  // be opened or read, or too large) leave the profile empty; 'error', when
  // given, then says why (for kUnreadable).
  LoadStatus Load(const std::string& path, std::string* error = nullptr);

  // Takes the profile from 'text' (as a file would hold it).
  void Parse(std::string_view text);

  // The file's text as Save would write it.
  std::string Text() const;

  // The value of 'key' in 'section', or nothing when the key is absent.
  std::optional<std::string> GetString(std::string_view section, std::string_view key) const;

  // The number stored under 'key', read as described above; 'fallback' when
  // the key is absent or holds no number.
  int32_t GetInt(std::string_view section, std::string_view key, int32_t fallback) const;

  // The key names of 'section' in file order, as written in the file (the
  // first occurrence of each name only).
  std::vector<std::string> Keys(std::string_view section) const;

  // Stores 'value' under 'key'. An existing line keeps its own spelling of the
  // key and is left untouched when it already reads as 'value'; a new key goes
  // after the last key of the section's first occurrence; a new section is
  // appended at the end. Line breaks in 'value' become blanks; a value with
  // surrounding blanks or quotes is quoted so that it reads back the same.
  // Returns false (and changes nothing) when the section or key name is empty
  // or contains a character that cannot be stored in a name.
  bool SetString(std::string_view section, std::string_view key, std::string_view value);
  bool SetInt(std::string_view section, std::string_view key, int32_t value);

  // Writes the profile to 'path': missing folders are created, the text goes
  // to a temporary file of its own in the same folder ('<path>.tmp-XXXXXX',
  // unique, so saves running at once never share one), is flushed to the
  // disk and renamed over 'path'. Whenever it stops, 'path' holds either the
  // old text or the new one. When the path is a symbolic link (or a chain of
  // them), the file it leads to is replaced and the link stays. On failure
  // the temporary file is removed, 'path' is left as it was, and the Result
  // says why.
  Result Save(const std::string& path) const;

 private:
  struct Line {
    std::string text;    // without the line ending
    std::string ending;  // "\n", "\r\n", or at the end of the file "\r" or ""
  };
  // Where a key's line is, or npos.
  size_t FindKey(std::string_view section, std::string_view key) const;
  // Inserts a new line before 'at' with the file's usual ending; a line
  // before it that had no full ending (the last line of the file) gets one.
  void InsertLine(size_t at, std::string text);

  std::vector<Line> lines_;
  std::string ending_ = "\n";  // for new lines: the first LF or CR LF ending of the file
  bool bom_ = false;           // the file began with a UTF-8 byte-order mark
};

// The file a save of 'path' replaces: 'path' itself, or when it is a symbolic
// link the file at the end of its chain of links (relative targets taken from
// the link's folder). A chain that loops or runs past 40 links gives 'path'.
std::string SaveTarget(const std::string& path);

// Reads a number as the profile does: leading blanks, an optional sign,
// decimal digits up to the first other character. Nothing when there is no
// digit. Saturates at the limits of a 32-bit signed number.
std::optional<int32_t> ParseProfileInt(std::string_view text);

}  // namespace quivera
