#include "present/address_texts.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "present/multicast_names.h"

namespace quivera {
namespace {

using Address = std::array<uint8_t, 6>;

constexpr Address kVelkor = {0xAA, 0x00, 0x04, 0x00, 0x05, 0x0C};
constexpr Address kVelkorByte3Set = {0xAA, 0x00, 0x04, 0xFF, 0x05, 0x0C};
constexpr Address kOther = {0x08, 0x00, 0x2B, 0x12, 0xF0, 0x01};

constexpr AddressPreferences kTranslateCanonical{0, 0};
constexpr AddressPreferences kTranslateMsb{0, 1};
constexpr AddressPreferences kPlainCanonical{1, 0};
constexpr AddressPreferences kPlainMsb{1, 1};

TEST(AddressTextsTest, ThreeForms) {
  EXPECT_EQ(CanonicalAddressText(kVelkor), "AA-00-04-00-05-0C");
  EXPECT_EQ(MsbAddressText(kVelkor), "55:00:20:00:A0:30");
  EXPECT_EQ(VelkorAddressText(kVelkor), "Velkor 3.5");
  EXPECT_EQ(CanonicalAddressText(kOther), "08-00-2B-12-F0-01");
  EXPECT_EQ(MsbAddressText(kOther), "10:00:D4:48:0F:80");
}

TEST(AddressTextsTest, VelkorAreaAndNodeLimits) {
  EXPECT_EQ(VelkorAddressText(Address{0xAA, 0x00, 0x04, 0x00, 0x00, 0x00}), "Velkor 0.0");
  EXPECT_EQ(VelkorAddressText(Address{0xAA, 0x00, 0x04, 0x00, 0xFF, 0xFF}), "Velkor 63.1023");
  EXPECT_EQ(VelkorAddressText(Address{0xAA, 0x00, 0x04, 0x00, 0x00, 0x04}), "Velkor 1.0");
}

TEST(AddressTextsTest, ReverseBitsEveryByteIsAnInvolution) {
  EXPECT_EQ(ReverseBits(0x01), 0x80);
  EXPECT_EQ(ReverseBits(0xAA), 0x55);
  EXPECT_EQ(ReverseBits(0x0C), 0x30);
  for (int b = 0; b < 256; ++b) {
    const uint8_t byte = static_cast<uint8_t>(b);
    EXPECT_EQ(ReverseBits(ReverseBits(byte)), byte);
    EXPECT_EQ(__builtin_popcount(ReverseBits(byte)), __builtin_popcount(byte));
  }
}

struct RuleCase {
  const char* name;
  Address address;
  AddressPreferences preferences;
  const char* station;
  const char* permanent;
};

TEST(AddressTextsTest, StationAndPermanentRules) {
  const RuleCase cases[] = {
      // Translation wins over the format; byte 3 is not looked at.
      {"velkor canonical", kVelkor, kTranslateCanonical, "Velkor 3.5", "AA-00-04-00-05-0C"},
      {"velkor msb", kVelkor, kTranslateMsb, "Velkor 3.5", "55:00:20:00:A0:30"},
      {"byte 3 ignored", kVelkorByte3Set, kTranslateCanonical, "Velkor 3.5", "AA-00-04-FF-05-0C"},
      {"translation off", kVelkor, kPlainCanonical, "AA-00-04-00-05-0C", "AA-00-04-00-05-0C"},
      {"translation off msb", kVelkor, kPlainMsb, "55:00:20:00:A0:30", "55:00:20:00:A0:30"},
      {"other vendor", kOther, kTranslateCanonical, "08-00-2B-12-F0-01", "08-00-2B-12-F0-01"},
      {"other vendor msb", kOther, kTranslateMsb, "10:00:D4:48:0F:80", "10:00:D4:48:0F:80"},
      // A hand-edited value other than 0 or 1 turns translation off and keeps
      // the canonical form.
      {"odd preference values", kVelkor, {2, 2}, "AA-00-04-00-05-0C", "AA-00-04-00-05-0C"},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StationAddressText(c.address, c.preferences), c.station);
    EXPECT_EQ(PermanentAddressText(c.address, c.preferences), c.permanent);
  }
}

TEST(AddressTextsTest, MulticastEntryRules) {
  MulticastNames names;
  ASSERT_TRUE(names.Build());
  const Address ip = {0x01, 0x00, 0x5E, 0x7F, 0x00, 0x01};
  EXPECT_EQ(MulticastEntryText(ip, kTranslateCanonical, names), "RFC-1112 IP Multicast");
  EXPECT_EQ(MulticastEntryText(ip, kTranslateMsb, names), "RFC-1112 IP Multicast");
  EXPECT_EQ(MulticastEntryText(ip, kPlainCanonical, names), "01-00-5E-7F-00-01");
  EXPECT_EQ(MulticastEntryText(Address{0x01, 0x00, 0x5E, 0x00, 0x00, 0x01}, kPlainMsb, names),
            "80:00:7A:00:00:80");
  // No protocol row: the address text; a group address is never a Velkor text.
  EXPECT_EQ(
      MulticastEntryText(Address{0x09, 0x00, 0x2B, 0x00, 0x00, 0x08}, kTranslateCanonical, names),
      "09-00-2B-00-00-08");
  EXPECT_EQ(MulticastEntryText(kVelkor, kTranslateCanonical, names), "AA-00-04-00-05-0C");
  // An unbuilt lookup names nothing.
  EXPECT_EQ(MulticastEntryText(ip, kTranslateCanonical, MulticastNames()), "01-00-5E-7F-00-01");
}

}  // namespace
}  // namespace quivera
