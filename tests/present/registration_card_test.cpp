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

}  // namespace
}  // namespace quivera
