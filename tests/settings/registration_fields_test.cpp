// The registration card's fields in the settings: kept across a restart,
// one line each, keys in their place, the region choice read safely.
#include "settings/registration_fields.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quivera {
namespace {

class RegistrationFieldsTest : public testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
  TempDir dir_;
};

TEST_F(RegistrationFieldsTest, FieldsSurviveARestart) {
  const std::string path = dir_.Path("quivera.ini");
  ASSERT_TRUE(WriteFile(path, "[Registration]\nCompany=Old Company\nShoeSize=44\n"));
  LoadSettings(path);
  Settings& s = AppSettings();
  for (const RegistrationFieldDef& def : RegistrationFields()) {
    SetRegistrationValue(s, def.field, std::string("value of ") + def.key);
  }
  SetRegistrationValue(s, RegistrationField::kAddress, "12 Ring Road\r\nSuite 4");
  SetRegistrationValue(s, RegistrationField::kReturnAddress, "2");
  ASSERT_TRUE(SaveSettings(path).ok);

  ResetSettings();
  EXPECT_TRUE(AppSettings().Registration.empty());
  LoadSettings(path);
  for (const RegistrationFieldDef& def : RegistrationFields()) {
    if (def.field == RegistrationField::kAddress || def.field == RegistrationField::kReturnAddress) {
      continue;
    }
    EXPECT_EQ(RegistrationValue(AppSettings(), def.field), std::string("value of ") + def.key);
  }
  EXPECT_EQ(RegistrationValue(AppSettings(), RegistrationField::kAddress),
            "12 Ring Road  Suite 4");
  EXPECT_EQ(RegistrationRegion(AppSettings(), 4), 2);
  // A key the program does not know stays; a known one keeps its place.
  ASSERT_GE(AppSettings().Registration.size(), 2u);
  EXPECT_EQ(AppSettings().Registration[0].first, "Company");
  EXPECT_EQ(AppSettings().Registration[1], (std::pair<std::string, std::string>{"ShoeSize", "44"}));
}

TEST_F(RegistrationFieldsTest, TableAndRegionChoice) {
  const auto fields = RegistrationFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(static_cast<size_t>(fields[i].field), i) << fields[i].key;
    EXPECT_EQ(&RegistrationFieldOf(fields[i].field), &fields[i]);
  }
  const struct {
    const char* stored;  // nullptr: not stored
    int region;
  } cases[] = {{nullptr, 0}, {"3", 3}, {"4", 0}, {"-1", 0}, {"2x", 0}, {"", 0}};
  for (const auto& c : cases) {
    ResetSettings();
    if (c.stored != nullptr) {
      SetRegistrationValue(AppSettings(), RegistrationField::kReturnAddress, c.stored);
    }
    EXPECT_EQ(RegistrationRegion(AppSettings(), 4), c.region) << (c.stored ? c.stored : "none");
  }
}

}  // namespace
}  // namespace quivera
