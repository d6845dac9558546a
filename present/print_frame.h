// The frame every printed page shares: the print font, the title line with
// the date, boxes with their captions above them, and the restoring of the
// font that was selected before. A page's print routine reads:
//
//   PrintFrame frame(surface, kMacPrintTitle, std::time(nullptr));
//   const int lh = frame.LineHeight();
//   frame.Box(600, -1250, 7000, -6000, "Local Addresses", 720);
//   frame.Text(720, -1440, "Current Address");
//   ...
//   // the destructor (or End()) puts the previous font back
//
// Positions are twips on the surface (see print_surface.h). Boxes are filled
// white, so draw each box before the texts that lie inside it.
#pragma once

#include <ctime>
#include <span>
#include <string>
#include <string_view>

#include "present/label_pairs.h"
#include "present/print_surface.h"

namespace quivera {

// Page titles, printed at (kTitleX, kTitleY).
inline constexpr char kGeneralPrintTitle[] = "QUIVERA/FDDI -- General Page";
inline constexpr char kSmtPrintTitle[] = "QUIVERA/FDDI -- SMT Page";
inline constexpr char kMacPrintTitle[] = "QUIVERA/FDDI -- MAC Page";
inline constexpr char kMacCountersPrintTitle[] = "QUIVERA/FDDI -- MAC Counters Page";
inline constexpr char kPathPrintTitle[] = "QUIVERA/FDDI -- Path Page";
// The Port pages print their own caption ("Port 0", "Port 1") after this
// title, at (kPortCaptionX, kTitleY).
inline constexpr char kPortPrintTitle[] = "QUIVERA/FDDI --- ";
inline constexpr char kFlashPrintTitle[] = "QUIVERA/FDDI -- Flash Data";

inline constexpr int kTitleX = 720;
inline constexpr int kTitleY = -720;
inline constexpr int kPortCaptionX = 4320;
inline constexpr int kDateX = 7000;
// A box's caption stands this far above the box's top edge.
inline constexpr int kBoxCaptionRise = 250;

// How far a sheet's drawing reaches from the printable area's top-left
// corner, or how large a printable area is: twips across and down.
struct SheetExtent {
  int width = 0;
  int height = 0;
};

// The one factor by which a sheet reaching 'sheet' is drawn so that it fits
// 'printable': 1 when it fits already (a sheet is never enlarged), else the
// smaller of the two ratios, so that every position keeps its proportions.
// 1 for an empty sheet or an empty printable area.
double SheetFitScale(const SheetExtent& sheet, const SheetExtent& printable);

// "Courier New", character height 280 twips, weight 400, modern family.
PrintFont CourierPrintFont();
// "Lucida Console" with the given cell height, weight 400, modern family
// (the flash sheets).
PrintFont LucidaPrintFont(int cell_height);

// The classic C library date text without its newline, cut to 24
// characters: "Www Mmm dd hh:mm:ss yyyy" (day of month padded with a blank),
// with English day and month names whatever the process locale. Fields out of
// their range give "???" for a name.
std::string CDateText(const std::tm& local_time);

// CDateText of 'now' in local time; empty when 'now' cannot be converted.
std::string PrintDateText(std::time_t now);

class PrintFrame {
 public:
  // Selects the print font (Courier unless given), keeping the surface's
  // previous font, reads the line height, and writes the title at
  // (kTitleX, kTitleY) and the date of 'now' at (kDateX, kTitleY).
  PrintFrame(PrintSurface& surface, std::string_view title, std::time_t now);
  PrintFrame(PrintSurface& surface, std::string_view title, std::time_t now, const PrintFont& font);
  // As above, with 'page_caption' written at (kPortCaptionX, kTitleY) between
  // the title and the date (the Port pages).
  PrintFrame(PrintSurface& surface, std::string_view title, std::string_view page_caption,
             std::time_t now);

  PrintFrame(const PrintFrame&) = delete;
  PrintFrame& operator=(const PrintFrame&) = delete;

  // Calls End().
  ~PrintFrame();

  // The print font's text height plus external leading, read once when the
  // frame began.
  int LineHeight() const { return line_height_; }

  // Writes 'text' with its reference point at (x, y).
  void Text(int x, int y, std::string_view text);

  // Writes the caption of 'pair' chosen by 'snmp_labels' (0 = SNMP object
  // names, else plain labels) at (x, y).
  void Caption(int x, int y, const LabelPair& pair, int snmp_labels);

  // Draws a box (outlined black, filled white).
  void Box(int left, int top, int right, int bottom);
  // Draws a box, then writes 'caption' at (caption_x, top + kBoxCaptionRise).
  void Box(int left, int top, int right, int bottom, std::string_view caption, int caption_x);

  // Writes 'lines' at x, the first at 'first_y' and each next one
  // LineHeight() lower. Returns the y of the line that would follow the last
  // ('first_y' when 'lines' is empty).
  int Lines(int x, int first_y, std::span<const std::string> lines);
  int Lines(int x, int first_y, std::span<const char* const> lines);

  // Puts the previously selected font back; call it (or let the destructor
  // do it) after the last drawing. Only the first call acts.
  void End();

  PrintSurface& surface() { return surface_; }

 private:
  void Begin(std::string_view title, std::string_view page_caption, std::time_t now,
             const PrintFont& font);

  PrintSurface& surface_;
  PrintFont previous_font_;
  int line_height_ = 0;
  bool ended_ = false;
};

}  // namespace quivera
