// A PrintSurface that draws nothing and keeps every call in order, for tests
// of page printing: font selections, texts with their positions, and boxes.
// Its line height is fixed (set at construction or with set_line_height),
// whatever font is selected, unless it is told each font's line height. It
// also tells how far the recorded drawing reaches, which is how a sheet is
// measured before it is printed.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "present/print_frame.h"
#include "present/print_surface.h"

namespace quivera {

struct PrintCall {
  enum class Kind { kSelectFont, kText, kRectangle };
  Kind kind = Kind::kText;
  PrintFont font;  // kSelectFont: the font selected
  int x = 0;       // kText: reference point
  int y = 0;
  std::string text;  // kText
  int left = 0;      // kRectangle: corners
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class RecordingSurface : public PrintSurface {
 public:
  // The font the surface starts with (what a page must restore).
  static PrintFont InitialFont() { return PrintFont{"System", 16, 700, 0}; }

  // Twips of one line, or of one text across, in a font.
  using LineHeightOf = std::function<int(const PrintFont& font)>;
  using TextWidthOf = std::function<int(const PrintFont& font, const std::string& text)>;

  explicit RecordingSurface(int line_height = 300) : line_height_(line_height) {}
  // A surface whose line height is that of the font selected, as a device
  // would report it.
  explicit RecordingSurface(LineHeightOf line_height_of)
      : line_height_(300), line_height_of_(std::move(line_height_of)) {}

  PrintFont SelectFont(const PrintFont& font) override;
  int LineHeight() override;
  void Text(int x, int y, const std::string& text) override;
  void Rectangle(int left, int top, int right, int bottom) override;

  void set_line_height(int line_height) { line_height_ = line_height; }

  // Every call in the order it was made.
  const std::vector<PrintCall>& calls() const { return calls_; }
  // The text calls only, in order.
  std::vector<PrintCall> Texts() const;
  // The rectangle calls only, in order.
  std::vector<PrintCall> Rectangles() const;
  // The font selected now.
  const PrintFont& current_font() const { return current_font_; }

  // Index into calls() of the first text call with exactly 'text', or npos.
  size_t IndexOfText(std::string_view text) const;
  // The first text call with exactly 'text', or nullptr.
  const PrintCall* FindText(std::string_view text) const;
  // Index into calls() of the first rectangle with these corners, or npos.
  size_t IndexOfRectangle(int left, int top, int right, int bottom) const;

  // How far the recorded boxes and texts reach from the origin: a text ends
  // 'width_of' its text in the font selected when it was written to its
  // right, and one line of that font below its reference point.
  SheetExtent Extent(const TextWidthOf& width_of) const;

  // Makes every recorded call again, in order, on 'target' (a sheet measured
  // here is then drawn on the device without being built twice).
  void Replay(PrintSurface& target) const;

  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  int line_height_;
  LineHeightOf line_height_of_;
  PrintFont current_font_ = InitialFont();
  std::vector<PrintCall> calls_;
};

}  // namespace quivera
