// TextLines: the fixed list of text lines that the flash layouts fill and the
// Flash page, the HTML Flash page and the error-log export read. Storage is
// fixed (150 lines of up to 80 characters); only AppendFormatted builds its
// text in a temporary string before storing it.
//
// The list never writes past its last line or past the end of a line: a line
// that does not fit is dropped, a line that is too long is cut at 80
// characters, and either case raises truncated() so the caller can tell.
//
// Not thread-safe: one list belongs to one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quivera {

class LineBuilder;

class TextLines {
 public:
  static constexpr int kMaxLines = 150;
  static constexpr int kLineWidth = 80;

  TextLines() = default;

  // Number of lines held, 0 .. kMaxLines.
  int count() const { return count_; }

  // True when, since the last Clear(), a line was dropped because the list was
  // full or a line was cut because it was longer than kLineWidth.
  bool truncated() const { return truncated_; }

  // Empties the list and lowers the truncated flag.
  void Clear();

  // Line 'index' (0 .. count()-1). An index outside the list gives an empty
  // view. The view stays valid until the line is changed or the list cleared.
  std::string_view line(int index) const;

  // The same line as a zero-terminated text ("" outside the list).
  const char* c_str(int index) const;

  // Appends 'text' as the next line, cut to kLineWidth characters. Returns
  // true when the whole text was stored; false when it was cut or dropped
  // (list full), which also raises truncated().
  bool Append(std::string_view text);

  // Appends the line a LineBuilder composed; a builder that overflowed counts
  // as cut. Same return value as Append(text).
  bool Append(const LineBuilder& line);

  // Appends one line formatted printf-style in the C locale, whatever the
  // process locale is. Output past kLineWidth characters is cut. Same return
  // value as Append(text).
  bool AppendFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Appends every line, in order, to '*out', each followed by 'line_end'
  // ("\r\n" for the export file and the HTML Flash page).
  void AppendAllTo(std::string* out, std::string_view line_end) const;

 private:
  bool Store(std::string_view text, bool already_cut);

  int count_ = 0;
  bool truncated_ = false;
  uint8_t lengths_[kMaxLines] = {};
  char text_[kMaxLines][kLineWidth + 1] = {};
};

}  // namespace quivera
