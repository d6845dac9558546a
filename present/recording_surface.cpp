// The recording print surface used by the printing tests.
#include "present/recording_surface.h"

#include <algorithm>
#include <utility>

namespace quivera {

PrintFont RecordingSurface::SelectFont(const PrintFont& font) {
  PrintCall call;
  call.kind = PrintCall::Kind::kSelectFont;
  call.font = font;
  calls_.push_back(std::move(call));
  PrintFont previous = current_font_;
  current_font_ = font;
  return previous;
}

void RecordingSurface::Text(int x, int y, const std::string& text) {
  PrintCall call;
  call.kind = PrintCall::Kind::kText;
  call.x = x;
  call.y = y;
  call.text = text;
  calls_.push_back(std::move(call));
}

void RecordingSurface::Rectangle(int left, int top, int right, int bottom) {
  PrintCall call;
  call.kind = PrintCall::Kind::kRectangle;
  call.left = left;
  call.top = top;
  call.right = right;
  call.bottom = bottom;
  calls_.push_back(std::move(call));
}

int RecordingSurface::LineHeight() {
  return line_height_of_ ? line_height_of_(current_font_) : line_height_;
}

SheetExtent RecordingSurface::Extent(const TextWidthOf& width_of) const {
  SheetExtent extent;
  PrintFont font = InitialFont();
  for (const PrintCall& call : calls_) {
    switch (call.kind) {
      case PrintCall::Kind::kSelectFont:
        font = call.font;
        break;
      case PrintCall::Kind::kText: {
        const int line = line_height_of_ ? line_height_of_(font) : line_height_;
        const int width = width_of ? width_of(font, call.text) : 0;
        extent.width = std::max(extent.width, call.x + width);
        extent.height = std::max(extent.height, -call.y + line);
        break;
      }
      case PrintCall::Kind::kRectangle:
        extent.width = std::max({extent.width, call.left, call.right});
        extent.height = std::max({extent.height, -call.top, -call.bottom});
        break;
    }
  }
  return extent;
}

void RecordingSurface::Replay(PrintSurface& target) const {
  for (const PrintCall& call : calls_) {
    switch (call.kind) {
      case PrintCall::Kind::kSelectFont:
        target.SelectFont(call.font);
        break;
      case PrintCall::Kind::kText:
        target.Text(call.x, call.y, call.text);
        break;
      case PrintCall::Kind::kRectangle:
        target.Rectangle(call.left, call.top, call.right, call.bottom);
        break;
    }
  }
}

std::vector<PrintCall> RecordingSurface::Texts() const {
  std::vector<PrintCall> texts;
  for (const PrintCall& call : calls_) {
    if (call.kind == PrintCall::Kind::kText) texts.push_back(call);
  }
  return texts;
}

std::vector<PrintCall> RecordingSurface::Rectangles() const {
  std::vector<PrintCall> boxes;
  for (const PrintCall& call : calls_) {
    if (call.kind == PrintCall::Kind::kRectangle) boxes.push_back(call);
  }
  return boxes;
}

size_t RecordingSurface::IndexOfText(std::string_view text) const {
  for (size_t i = 0; i < calls_.size(); ++i) {
    if (calls_[i].kind == PrintCall::Kind::kText && calls_[i].text == text) return i;
  }
  return npos;
}

const PrintCall* RecordingSurface::FindText(std::string_view text) const {
  const size_t index = IndexOfText(text);
  return index == npos ? nullptr : &calls_[index];
}

size_t RecordingSurface::IndexOfRectangle(int left, int top, int right, int bottom) const {
  for (size_t i = 0; i < calls_.size(); ++i) {
    const PrintCall& call = calls_[i];
    if (call.kind == PrintCall::Kind::kRectangle && call.left == left && call.top == top &&
        call.right == right && call.bottom == bottom) {
      return i;
    }
  }
  return npos;
}

}  // namespace quivera
