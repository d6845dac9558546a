// TextLines: bounded storage of the flash layouts' lines.
#include "flash/text_lines.h"

#include <locale.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "flash/line_builder.h"

namespace quivera {

namespace {

// The C locale as a locale object, made once. newlocale can fail only for
// lack of memory; then formatting runs in the thread's current locale, which
// for the "%d", "%X", "%s" and "%c" forms used here gives the same text.
locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c_locale;
}

// Switches the calling thread to the C locale for its lifetime.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(0)) {}
  ~CLocaleScope() {
    if (previous_) uselocale(previous_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_;
};

}  // namespace

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
  char buffer[kLineWidth + 1];
  va_list args;
  va_start(args, format);
  int needed;
  {
    CLocaleScope c_locale;
    needed = std::vsnprintf(buffer, sizeof buffer, format, args);
  }
  va_end(args);
  if (needed < 0) {
    // An encoding error leaves nothing usable; keep the line slot visible.
    return Store({}, true);
  }
  const size_t stored = needed > kLineWidth ? kLineWidth : static_cast<size_t>(needed);
  return Store(std::string_view(buffer, stored), needed > kLineWidth);
}

void TextLines::AppendAllTo(std::string* out, std::string_view line_end) const {
  for (int i = 0; i < count_; ++i) {
    out->append(text_[i], lengths_[i]);
    out->append(line_end);
  }
}

}  // namespace quivera
