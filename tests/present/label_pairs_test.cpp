#include "present/label_pairs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quivera {
namespace {

TEST(LabelPairsTest, CaptionChoiceFollowsSnmpLabels) {
  const LabelPair pair{"fddimibPORTLerAlarm", "LER Alarm"};
  EXPECT_STREQ(CaptionFor(pair, 0), "fddimibPORTLerAlarm");
  EXPECT_STREQ(CaptionFor(pair, 1), "LER Alarm");
  // Any non-zero value means plain labels.
  EXPECT_STREQ(CaptionFor(pair, 2), "LER Alarm");
  EXPECT_STREQ(CaptionFor(pair, -1), "LER Alarm");
}

TEST(LabelPairsTest, PagesInCaptionOrder) {
  const struct {
    const char* page;
    std::span<const LabelPair> pairs;
    size_t count;
    LabelPair first;
    LabelPair last;
  } pages[] = {
      {"MAC",
       MacLabelPairs(),
       13,
       {"fddimibMACUpstreamNbr", "Upstream Neighbor"},
       {"fddimibMACDupAddressTest", "Duplicate Address Test"}},
      {"SMT",
       SmtLabelPairs(),
       7,
       {"fddimibSMTConnectionPolicy", "SMT Connection Policy"},
       {"fddimibSMTUserData", "SMT User Data"}},
      {"MAC Counters",
       MacCounterLabelPairs(),
       12,
       {"fddimibMACTokenCts", "Token Counts"},
       {"eMACTransmitUnderruns", "MAC Transmit Underruns"}},
      {"Path",
       PathLabelPairs(),
       7,
       {"fddimibPATHTMaxLowerBound", "PATH TMax Lower Bound"},
       {"fddimibMACTvxValue", "MAC TVX Value"}},
      {"Port",
       PortLabelPairs(),
       13,
       {"fddimibPORTCurrentPath", "Current Path"},
       {"fddimibPORTNeighborType", "Neighbor Port Type"}},
  };
  for (const auto& page : pages) {
    SCOPED_TRACE(page.page);
    ASSERT_EQ(page.pairs.size(), page.count);
    EXPECT_STREQ(page.pairs.front().snmp_name, page.first.snmp_name);
    EXPECT_STREQ(page.pairs.front().plain_label, page.first.plain_label);
    EXPECT_STREQ(page.pairs.back().snmp_name, page.last.snmp_name);
    EXPECT_STREQ(page.pairs.back().plain_label, page.last.plain_label);
    std::set<std::string> names, labels;
    for (const LabelPair& pair : page.pairs) {
      EXPECT_TRUE(names.insert(pair.snmp_name).second) << pair.snmp_name;
      EXPECT_TRUE(labels.insert(pair.plain_label).second) << pair.plain_label;
      EXPECT_STRNE(pair.plain_label, "");
    }
  }
}

TEST(LabelPairsTest, NamedPairsPointIntoTheirPage) {
  EXPECT_STREQ(CaptionFor(MacLabel::kDownstreamPortType, 0), "fddimibMACDownstreamPORTType");
  EXPECT_STREQ(CaptionFor(MacLabel::kRingPurgeErrors, 1), "Ring Purge Errors");
  EXPECT_STREQ(CaptionFor(SmtLabel::kOpVersionId, 1), "SMT Op Version Id");
  EXPECT_STREQ(CaptionFor(MacCounterLabel::kDupAddressTestFailures, 0),
               "eMACDuplicateAddressTestFailures");
  EXPECT_STREQ(CaptionFor(PathLabel::kMacTvxValue, 0), "fddimibMACTvxValue");
  EXPECT_STREQ(CaptionFor(PortLabel::kLemRejects, 0), "fddimibPORTLemRejectCts");
  EXPECT_STREQ(CaptionFor(PortLabel::kMyType, 1), "Local Port Type");
  EXPECT_EQ(&LabelPairFor(PortLabel::kLerAlarm), &PortLabelPairs()[7]);
  EXPECT_EQ(&LabelPairFor(MacLabel::kFdxEnable), &MacLabelPairs()[9]);
}

}  // namespace
}  // namespace quivera
