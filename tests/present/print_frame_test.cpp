#include "present/print_frame.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "present/recording_surface.h"

namespace quivera {
namespace {

// 1997-01-05 03:04:05 UTC; the date text is checked against local time.
constexpr std::time_t kNow = 852433445;

bool SameFont(const PrintFont& a, const PrintFont& b) {
  return a.face == b.face && a.height == b.height && a.weight == b.weight &&
         a.pitch_and_family == b.pitch_and_family;
}

TEST(CDateTextTest, ClassicLayout) {
  std::tm t{};
  t.tm_wday = 0;
  t.tm_mon = 0;
  t.tm_mday = 5;
  t.tm_hour = 3;
  t.tm_min = 4;
  t.tm_sec = 5;
  t.tm_year = 97;
  EXPECT_EQ(CDateText(t), "Sun Jan  5 03:04:05 1997");
  t.tm_wday = 6;
  t.tm_mon = 11;
  t.tm_mday = 31;
  t.tm_hour = 23;
  t.tm_min = 59;
  t.tm_sec = 60;  // a leap second
  t.tm_year = 126;
  EXPECT_EQ(CDateText(t), "Sat Dec 31 23:59:60 2026");
  // Longer years are cut to the 24 characters the layout has room for.
  t.tm_year = 12000;
  EXPECT_EQ(CDateText(t), "Sat Dec 31 23:59:60 1390");
  t.tm_wday = 7;
  t.tm_mon = -1;
  t.tm_year = 97;
  EXPECT_EQ(CDateText(t), "??? ??? 31 23:59:60 1997");
}

TEST(CDateTextTest, LocalTimeHasTheClassicPattern) {
  const std::string date = PrintDateText(kNow);
  EXPECT_EQ(date.size(), 24u);
  EXPECT_TRUE(std::regex_match(date, std::regex("(Sun|Mon|Tue|Wed|Thu|Fri|Sat) "
                                                "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                                "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] "
                                                "[0-9]{4}")))
      << date;
  std::tm local{};
  ASSERT_NE(localtime_r(&kNow, &local), nullptr);
  EXPECT_EQ(date, CDateText(local));
}

TEST(PrintFrameTest, FontTitleDateAndRestore) {
  RecordingSurface surface(320);
  {
    PrintFrame frame(surface, kMacPrintTitle, kNow);
    EXPECT_EQ(frame.LineHeight(), 320);
    EXPECT_TRUE(SameFont(surface.current_font(), PrintFont{"Courier New", -280, 400, 48}));
  }
  const auto& calls = surface.calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].kind, PrintCall::Kind::kSelectFont);
  EXPECT_TRUE(SameFont(calls[0].font, CourierPrintFont()));
  EXPECT_EQ(calls[1].text, "QUIVERA/FDDI -- MAC Page");
  EXPECT_EQ(calls[1].x, 720);
  EXPECT_EQ(calls[1].y, -720);
  EXPECT_EQ(calls[2].x, 7000);
  EXPECT_EQ(calls[2].y, -720);
  EXPECT_EQ(calls[2].text, PrintDateText(kNow));
  EXPECT_EQ(calls[2].text.size(), 24u);
  EXPECT_EQ(calls[3].kind, PrintCall::Kind::kSelectFont);
  EXPECT_TRUE(SameFont(calls[3].font, RecordingSurface::InitialFont()));
  EXPECT_TRUE(SameFont(surface.current_font(), RecordingSurface::InitialFont()));
}

TEST(PrintFrameTest, EndRestoresOnceAndOtherFontsAreHonoured) {
  RecordingSurface surface;
  {
    PrintFrame frame(surface, kFlashPrintTitle, kNow, LucidaPrintFont(216));
    EXPECT_TRUE(SameFont(surface.current_font(), PrintFont{"Lucida Console", 216, 400, 48}));
    frame.End();
    EXPECT_TRUE(SameFont(surface.current_font(), RecordingSurface::InitialFont()));
  }
  int selections = 0;
  for (const PrintCall& call : surface.calls()) {
    if (call.kind == PrintCall::Kind::kSelectFont) ++selections;
  }
  EXPECT_EQ(selections, 2);
}

TEST(PrintFrameTest, PortTitleCarriesThePageCaption) {
  RecordingSurface surface;
  { PrintFrame frame(surface, kPortPrintTitle, "Port 1", kNow); }
  const std::vector<PrintCall> texts = surface.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "QUIVERA/FDDI --- ");
  EXPECT_EQ(texts[1].text, "Port 1");
  EXPECT_EQ(texts[1].x, 4320);
  EXPECT_EQ(texts[1].y, -720);
  EXPECT_EQ(texts[2].x, 7000);
}

TEST(PrintFrameTest, UnconvertibleTimePrintsNoDate) {
  RecordingSurface surface;
  { PrintFrame frame(surface, kPathPrintTitle, std::numeric_limits<std::time_t>::max()); }
  ASSERT_EQ(surface.Texts().size(), 1u);
  EXPECT_EQ(surface.Texts()[0].text, "QUIVERA/FDDI -- Path Page");
}

TEST(PrintFrameTest, BoxThenCaptionAboveThenLinesInside) {
  RecordingSurface surface(300);
  {
    PrintFrame frame(surface, kGeneralPrintTitle, kNow);
    frame.Box(7720, -1440, 10600, -3060, "Receive Filter:", 7840);
    const std::vector<std::string> filter = {"Directed", "SMT", "Promiscuous"};
    EXPECT_EQ(frame.Lines(8200, -1190 - frame.LineHeight(), filter), -1190 - 4 * 300);
    frame.Box(1440, -1440, 10800, -7200);
    const std::vector<const char*> none;
    EXPECT_EQ(frame.Lines(8200, -5000, none), -5000);
  }
  const size_t box = surface.IndexOfRectangle(7720, -1440, 10600, -3060);
  ASSERT_NE(box, RecordingSurface::npos);
  const PrintCall* caption = surface.FindText("Receive Filter:");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->x, 7840);
  EXPECT_EQ(caption->y, -1190);
  const char* lines[] = {"Directed", "SMT", "Promiscuous"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(lines[i]);
    const size_t at = surface.IndexOfText(lines[i]);
    ASSERT_NE(at, RecordingSurface::npos);
    EXPECT_LT(box, at);
    EXPECT_EQ(surface.calls()[at].x, 8200);
    EXPECT_EQ(surface.calls()[at].y, -1490 - 300 * i);
  }
  // The empty list added a box and no text.
  EXPECT_NE(surface.IndexOfRectangle(1440, -1440, 10800, -7200), RecordingSurface::npos);
  EXPECT_EQ(surface.Texts().size(), 2u + 1u + 3u);
}

TEST(PrintFrameTest, CaptionsFollowSnmpLabelsAtPrintTime) {
  for (int snmp_labels : {0, 1}) {
    SCOPED_TRACE(snmp_labels);
    RecordingSurface surface;
    {
      PrintFrame frame(surface, kPathPrintTitle, kNow);
      int y = -1440 - 2 * frame.LineHeight();
      for (const LabelPair& pair : PathLabelPairs()) {
        frame.Caption(2160, y, pair, snmp_labels);
        y -= 2 * frame.LineHeight();
      }
    }
    const PrintCall* last =
        surface.FindText(snmp_labels == 0 ? "fddimibMACTvxValue" : "MAC TVX Value");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->x, 2160);
    EXPECT_EQ(last->y, -1440 - 14 * 300);
    EXPECT_EQ(surface.FindText(snmp_labels == 0 ? "MAC TVX Value" : "fddimibMACTvxValue"), nullptr);
  }
}

}  // namespace
}  // namespace quivera

namespace quivera {
namespace {

TEST(SheetFitScaleTest, ASheetIsDrawnSmallerAsAWholeOnlyWhenItDoesNotFit) {
  struct Case {
    SheetExtent sheet;
    SheetExtent printable;
    double scale;
  };
  const Case cases[] = {
      {{11680, 12000}, {11840, 15440}, 1.0},                // fits: never enlarged
      {{11680, 12000}, {11500, 16440}, 11500.0 / 11680},    // too wide
      {{9000, 17000}, {11840, 15440}, 15440.0 / 17000},     // too long
      {{23000, 33000}, {11500, 16440}, 16440.0 / 33000},    // both: the smaller ratio
      {{11500, 16440}, {11500, 16440}, 1.0},                // exactly as large
      {{0, 0}, {11500, 16440}, 1.0},                        // nothing drawn
      {{11680, 12000}, {0, 0}, 1.0},                        // no area known
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet.width);
    EXPECT_DOUBLE_EQ(SheetFitScale(c.sheet, c.printable), c.scale);
  }
}

TEST(SheetFitScaleTest, ExtentReachesTheFarthestBoxEdgeAndTextEnd) {
  // Ten twips a character, lines of 300 in the print font and 200 in another.
  RecordingSurface surface([](const PrintFont& font) { return font.face == "Small" ? 200 : 300; });
  const auto width_of = [](const PrintFont&, const std::string& text) {
    return static_cast<int>(text.size()) * 10;
  };
  {
    PrintFrame frame(surface, "T", 0);
    frame.Box(600, -1250, 11680, -3000);
    frame.Text(11000, -1440, "Disabled");  // ends at 11080: inside the box's reach
    EXPECT_EQ(surface.Extent(width_of).width, 11680);
    frame.Text(11650, -5000, "Disabled");  // ends at 11730, its line at 5300
  }
  EXPECT_EQ(surface.Extent(width_of).width, 11730);
  EXPECT_EQ(surface.Extent(width_of).height, 5300);
  surface.SelectFont(PrintFont{"Small", 180, 400, 48});
  surface.Text(0, -6000, "x");
  EXPECT_EQ(surface.Extent(width_of).height, 6200);
}

}  // namespace
}  // namespace quivera
