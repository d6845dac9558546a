// The common print frame and the C date text.
#include "present/print_frame.h"

#include <algorithm>

#include "present/c_locale_text.h"

namespace quivera {

namespace {

constexpr size_t kDateTextLength = 24;

}  // namespace

double SheetFitScale(const SheetExtent& sheet, const SheetExtent& printable) {
  if (sheet.width <= 0 || sheet.height <= 0 || printable.width <= 0 || printable.height <= 0) {
    return 1.0;
  }
  const double across = static_cast<double>(printable.width) / sheet.width;
  const double down = static_cast<double>(printable.height) / sheet.height;
  return std::min({1.0, across, down});
}

PrintFont CourierPrintFont() { return PrintFont{"Courier New", -280, 400, 48}; }

PrintFont LucidaPrintFont(int cell_height) {
  return PrintFont{"Lucida Console", cell_height, 400, 48};
}

std::string CDateText(const std::tm& local_time) {
  std::string date = FormatCLocale(
      "%.3s %.3s%3d %.2d:%.2d:%.2d %d", CDayName(local_time.tm_wday), CMonthName(local_time.tm_mon),
      local_time.tm_mday, local_time.tm_hour, local_time.tm_min, local_time.tm_sec,
      1900 + local_time.tm_year);
  if (date.size() > kDateTextLength) date.resize(kDateTextLength);
  return date;
}

std::string PrintDateText(std::time_t now) {
  std::tm local_time{};
  if (localtime_r(&now, &local_time) == nullptr) return std::string();
  return CDateText(local_time);
}

PrintFrame::PrintFrame(PrintSurface& surface, std::string_view title, std::time_t now)
    : surface_(surface) {
  Begin(title, {}, now, CourierPrintFont());
}

PrintFrame::PrintFrame(PrintSurface& surface, std::string_view title, std::time_t now,
                       const PrintFont& font)
    : surface_(surface) {
  Begin(title, {}, now, font);
}

PrintFrame::PrintFrame(PrintSurface& surface, std::string_view title, std::string_view page_caption,
                       std::time_t now)
    : surface_(surface) {
  Begin(title, page_caption, now, CourierPrintFont());
}

PrintFrame::~PrintFrame() { End(); }

void PrintFrame::Begin(std::string_view title, std::string_view page_caption, std::time_t now,
                       const PrintFont& font) {
  previous_font_ = surface_.SelectFont(font);
  line_height_ = surface_.LineHeight();
  Text(kTitleX, kTitleY, title);
  if (!page_caption.empty()) Text(kPortCaptionX, kTitleY, page_caption);
  const std::string date = PrintDateText(now);
  if (!date.empty()) Text(kDateX, kTitleY, date);
}

void PrintFrame::Text(int x, int y, std::string_view text) {
  surface_.Text(x, y, std::string(text));
}

void PrintFrame::Caption(int x, int y, const LabelPair& pair, int snmp_labels) {
  Text(x, y, CaptionFor(pair, snmp_labels));
}

void PrintFrame::Box(int left, int top, int right, int bottom) {
  surface_.Rectangle(left, top, right, bottom);
}

void PrintFrame::Box(int left, int top, int right, int bottom, std::string_view caption,
                     int caption_x) {
  Box(left, top, right, bottom);
  Text(caption_x, top + kBoxCaptionRise, caption);
}

int PrintFrame::Lines(int x, int first_y, std::span<const std::string> lines) {
  int y = first_y;
  for (const std::string& line : lines) {
    Text(x, y, line);
    y -= line_height_;
  }
  return y;
}

int PrintFrame::Lines(int x, int first_y, std::span<const char* const> lines) {
  int y = first_y;
  for (const char* line : lines) {
    Text(x, y, line != nullptr ? line : "");
    y -= line_height_;
  }
  return y;
}

void PrintFrame::End() {
  if (ended_) return;
  ended_ = true;
  surface_.SelectFont(previous_font_);
}

}  // namespace quivera
