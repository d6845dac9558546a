// TextLines: bounded storage of the flash layouts' lines.
#include "flash/text_lines.h"

#include <cstdarg>
#include <cstring>

#include "flash/line_builder.h"
#include "present/c_locale_text.h"

namespace quivera {

void TextLines::Clear() {
  count_ = 0;
  truncated_ = false;
}

std::string_view TextLines::line(int index) const {
  if (index < 0 || index >= count_) return {};
  return std::string_view(text_[index], lengths_[index]);
}

const char* TextLines::c_str(int index) const {
  if (index < 0 || index >= count_) return "";
  return text_[index];
}

bool TextLines::Store(std::string_view text, bool already_cut) {
  if (count_ >= kMaxLines) {
    truncated_ = true;
    return false;
  }
  const bool too_long = text.size() > static_cast<size_t>(kLineWidth);
  const bool cut = already_cut || too_long;
  const size_t length = too_long ? static_cast<size_t>(kLineWidth) : text.size();
  std::memcpy(text_[count_], text.data(), length);
  text_[count_][length] = '\0';
  lengths_[count_] = static_cast<uint8_t>(length);
  ++count_;
  if (cut) truncated_ = true;
  return !cut;
}

bool TextLines::Append(std::string_view text) { return Store(text, false); }

bool TextLines::Append(const LineBuilder& line) { return Store(line.view(), line.overflowed()); }

bool TextLines::AppendFormatted(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text;
  const bool formatted = VFormatCLocale(&text, format, args);
  va_end(args);
  // An encoding error leaves nothing usable; keep the line slot visible.
  if (!formatted) return Store({}, true);
  return Store(text, false);  // Store cuts a line past kLineWidth
}

void TextLines::AppendAllTo(std::string* out, std::string_view line_end) const {
  for (int i = 0; i < count_; ++i) {
    out->append(text_[i], lengths_[i]);
    out->append(line_end);
  }
}

}  // namespace quivera
