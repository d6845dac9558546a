// The printed registration card: the chosen region's return-address panel,
// every field with its caption, the font put back.
#include "present/registration_card.h"

#include <gtest/gtest.h>

#include "present/recording_surface.h"
#include "settings/registration_fields.h"

namespace quivera {
namespace {

TEST(RegistrationCardTest, PanelFollowsTheChosenRegion) {
  ResetSettings();
  Settings& settings = AppSettings();
  SetRegistrationValue(settings, RegistrationField::kName, "Ada Operator");
  SetRegistrationValue(settings, RegistrationField::kAdapterSerial, "SN-0042");
  const auto regions = ReturnRegions();
  ASSERT_GE(regions.size(), 2u);
  for (size_t r = 0; r < regions.size(); ++r) {
    SCOPED_TRACE(regions[r].name);
    SetRegistrationValue(settings, RegistrationField::kReturnAddress, std::to_string(r));
    RecordingSurface surface;
    PrintRegistrationCard(surface, settings, 0);

    EXPECT_NE(surface.FindText(kRegistrationPrintTitle), nullptr);
    EXPECT_NE(surface.IndexOfRectangle(kReturnPanelLeft, kReturnPanelTop, kReturnPanelRight,
                                       kReturnPanelBottom),
              RecordingSurface::npos);
    // The region's lines inside the panel, one under the other.
    int y = kReturnPanelTop - surface.LineHeight();
    for (const char* line : regions[r].lines) {
      const PrintCall* call = nullptr;
      for (const PrintCall& t : surface.Texts()) {
        if (t.text == line && t.x == kReturnPanelTextX && t.y == y) call = &t;
      }
      EXPECT_NE(call, nullptr) << line;
      y -= surface.LineHeight();
    }
    EXPECT_GT(y, kReturnPanelBottom);
    // The other regions' panels are not on the card.
    for (size_t other = 0; other < regions.size(); ++other) {
      if (other != r) {
        EXPECT_EQ(surface.FindText(regions[other].lines[1]), nullptr) << regions[other].name;
      }
    }
    const PrintCall* name = surface.FindText("Ada Operator");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(surface.FindText("Name:")->y, name->y);
    EXPECT_NE(surface.FindText("SN-0042"), nullptr);
    EXPECT_NE(surface.FindText(regions[r].name), nullptr);
    EXPECT_EQ(surface.current_font().face, RecordingSurface::InitialFont().face);
  }
  ResetSettings();
}

TEST(RegistrationCardTest, ValuesWrapAtABlankOrInsideAWord) {
  const struct {
    const char* value;
    size_t columns;
    std::vector<std::string> lines;
  } cases[] = {
      {"", 10, {""}},
      {"short", 10, {"short"}},
      {"exactly 10", 10, {"exactly 10"}},
      {"two words here", 10, {"two words", "here"}},
      {"abcdefghijklmnop", 10, {"abcdefghij", "klmnop"}},
      {"a  b         c", 4, {"a  b", "c"}},
      {"ab cdefghijklmn", 4, {"ab", "cdef", "ghij", "klmn"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrapCardValue(c.value, c.columns), c.lines) << c.value;
  }
}

// A 60-character address (as long as the dialog allows) and a long title
// print in full, every line inside the fields' box.
TEST(RegistrationCardTest, LongValuesStayInsideTheirBox) {
  ResetSettings();
  Settings& settings = AppSettings();
  const std::string address = "Building 7, Ring Road 1234, Industrial Park North, Suite 900";
  ASSERT_EQ(address.size(), 60u);
  const std::string title = "Senior_Principal_Network_Operations_Engineer_Ring_Maintenance";
  SetRegistrationValue(settings, RegistrationField::kAddress, address);
  SetRegistrationValue(settings, RegistrationField::kTitle, title);
  RecordingSurface surface;
  PrintRegistrationCard(surface, settings, 0);

  // The box drawn last is the fields' box; the values stand two inches or
  // more right of its edge, the captions nearer.
  const std::vector<PrintCall> boxes = surface.Rectangles();
  ASSERT_FALSE(boxes.empty());
  const PrintCall box = boxes.back();
  const int char_width = -RecordingSurface::InitialFont().height * 6 / 10;
  std::string spaced;  // the value lines joined as the wrap split them
  std::string tight;
  for (const PrintCall& t : surface.Texts()) {
    if (t.y > box.top) continue;  // the title line and the panel
    EXPECT_LE(t.x + static_cast<int>(t.text.size()) * char_width, box.right) << t.text;
    EXPECT_GT(t.y, box.bottom) << t.text;
    if (t.x < box.left + 2880) continue;  // a caption
    spaced += t.text + " ";
    tight += t.text;
  }
  EXPECT_NE(spaced.find(address), std::string::npos) << spaced;
  EXPECT_NE(tight.find(title), std::string::npos) << tight;
  ResetSettings();
}

}  // namespace
}  // namespace quivera
