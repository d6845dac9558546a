// The captions of the pages' values, each in two forms: the SNMP object name
// (the caption a page is created with) and a plain label. The "SNMPLabels"
// preference chooses between them: 0 gives the SNMP object names, any other
// value the plain labels.
//
// Each page's pairs are listed in the page's caption order; an enumeration
// per page names the rows so that pages can pick one caption by name.
#pragma once

#include <span>

namespace quivera {

struct LabelPair {
  const char* snmp_name;
  const char* plain_label;
};

// The SNMP object name when 'snmp_labels' is 0, else the plain label.
const char* CaptionFor(const LabelPair& pair, int snmp_labels);

enum class MacLabel {
  kUpstreamNbr,
  kDownstreamNbr,
  kDownstreamPortType,
  kRingErrorReason,
  kCurrentPath,
  kRingPurgerState,
  kRingPurgerEnable,
  kRingPurgeErrors,
  kFdxState,
  kFdxEnable,
  kLinkState,
  kRmtState,
  kDupAddressTest,
};

enum class SmtLabel {
  kConnectionPolicy,
  kAvailablePaths,
  kOpVersionId,
  kBypassPresent,
  kEcmState,
  kCfState,
  kUserData,
};

enum class MacCounterLabel {
  kTokenCts,
  kRingPurgeErrors,
  kFciStripErrors,
  kRingInitsInitiated,
  kRingInitsReceived,
  kRingBeaconingInitiated,
  kDupAddressTestFailures,
  kDuplicateTokens,
  kTracesInitiated,
  kFrameStatusErrors,
  kFrameAlignmentErrors,
  kTransmitUnderruns,
};

enum class PathLabel {
  kTMaxLowerBound,
  kMaxTReq,
  kTvxLowerBound,
  kMacTReq,
  kMacTNeg,
  kMacTMax,
  kMacTvxValue,
};

enum class PortLabel {
  kCurrentPath,
  kPmdClass,
  kLctFailures,
  kLerEstimate,
  kLemRejects,
  kLemCounts,
  kLerCutoff,
  kLerAlarm,
  kConnectState,
  kPcmState,
  kRejectReason,
  kMyType,
  kNeighborType,
};

// Every pair of a page, in its caption order (the order of the enumeration).
std::span<const LabelPair> MacLabelPairs();
std::span<const LabelPair> SmtLabelPairs();
std::span<const LabelPair> MacCounterLabelPairs();
std::span<const LabelPair> PathLabelPairs();
std::span<const LabelPair> PortLabelPairs();

// One pair by name.
const LabelPair& LabelPairFor(MacLabel label);
const LabelPair& LabelPairFor(SmtLabel label);
const LabelPair& LabelPairFor(MacCounterLabel label);
const LabelPair& LabelPairFor(PathLabel label);
const LabelPair& LabelPairFor(PortLabel label);

// One caption by name, chosen by 'snmp_labels' as CaptionFor does.
template <typename Label>
requires requires(Label label) { LabelPairFor(label); }
const char* CaptionFor(Label label, int snmp_labels) {
  return CaptionFor(LabelPairFor(label), snmp_labels);
}

}  // namespace quivera
