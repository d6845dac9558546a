// The caption pairs of the MAC, SMT, MAC Counters, Path and Port pages.
#include "present/label_pairs.h"

#include <cstddef>

namespace quivera {

namespace {

constexpr LabelPair kMacPairs[] = {
    {"fddimibMACUpstreamNbr", "Upstream Neighbor"},
    {"fddimibMACDownstreamNbr", "Downstream Neighbor"},
    {"fddimibMACDownstreamPORTType", "Downstream Neighbor PORT Type"},
    {"eMACRingErrorReason", "Ring Error Reason"},
    {"fddimibMACCurrentPath", "MAC Current Path"},
    {"eMACRingPurgerState", "Ring Purger State"},
    {"eMACRingPurgerEnable", "Ring Purger Enable"},
    {"eMACRingPurgeErrors", "Ring Purge Errors"},
    {"eFDXState", "FDX State"},
    {"eFDXEnable", "FDX Enable"},
    {"eMACLinkState", "MAC Link State"},
    {"fddimibMACRMTState", "MAC RMT State"},
    {"fddimibMACDupAddressTest", "Duplicate Address Test"},
};

constexpr LabelPair kSmtPairs[] = {
    {"fddimibSMTConnectionPolicy", "SMT Connection Policy"},
    {"fddimibSMTAvailablePaths", "SMT Available Paths"},
    {"fddimibSMTOpVersionId", "SMT Op Version Id"},
    {"fddimibSMTBypassPresent", "SMT Bypass Present"},
    {"fddimibSMTECMState", "SMT ECM State"},
    {"fddimibSMTCFState", "SMT CF State"},
    {"fddimibSMTUserData", "SMT User Data"},
};

constexpr LabelPair kMacCounterPairs[] = {
    {"fddimibMACTokenCts", "Token Counts"},
    {"eMACRingPurgeErrors", "Ring Purge Errors"},
    {"eMACFCIStripErrors", "FCI Strip Errors"},
    {"eMACRingInitializationsInitiated", "Ring Initializations Initiated"},
    {"eMACRingInitializationsReceived", "Ring Initializations Received"},
    {"eMACRingBeaconingInitiated", "Ring Beaconing Initiated"},
    {"eMACDuplicateAddressTestFailures", "Duplicate Address Test Failures"},
    {"eMACDuplicateTokensDetected", "Duplicate Tokens Detected"},
    {"eMACTracesInitiated", "Traces Initiated"},
    {"eMACFrameStatusErrors", "Frame Status Errors"},
    {"eMACFrameAlignmentErrors", "Frame Alignment Errors"},
    {"eMACTransmitUnderruns", "MAC Transmit Underruns"},
};

constexpr LabelPair kPathPairs[] = {
    {"fddimibPATHTMaxLowerBound", "PATH TMax Lower Bound"},
    {"fddimibPATHMaxTReq", "PATH Max TReq"},
    {"fddimibPATHTVXLowerBound", "PATH TVX Lower Bound"},
    {"fddimibMACTReq", "MAC TReq"},
    {"fddimibMACTNeg", "MAC TNeg"},
    {"fddimibMACTMax", "MAC TMax"},
    // The FDDI MIB spells this object with "Tvx".
    {"fddimibMACTvxValue", "MAC TVX Value"},
};

constexpr LabelPair kPortPairs[] = {
    {"fddimibPORTCurrentPath", "Current Path"},
    {"fddimibPORTPMDClass", "PMD Class"},
    {"fddimibPORTLCTFailCts", "LCT Failures"},
    {"fddimibPORTLerEstimate", "LER Estimate"},
    {"fddimibPORTLemRejectCts", "LEM Rejects"},
    {"fddimibPORTLemCts", "LEM Counts"},
    {"fddimibPORTLerCutoff", "LER Cutoff"},
    {"fddimibPORTLerAlarm", "LER Alarm"},
    {"fddimibPORTConnectState", "Connect State"},
    {"fddimibPORTPCMState", "PCM State"},
    {"ePORTRejectReason", "Reject Reason"},
    {"fddimibPORTMyType", "Local Port Type"},
    {"fddimibPORTNeighborType", "Neighbor Port Type"},
};

// Each enumeration must name every row of its table, no more and no less.
static_assert(std::size(kMacPairs) == static_cast<size_t>(MacLabel::kDupAddressTest) + 1);
static_assert(std::size(kSmtPairs) == static_cast<size_t>(SmtLabel::kUserData) + 1);
static_assert(std::size(kMacCounterPairs) ==
              static_cast<size_t>(MacCounterLabel::kTransmitUnderruns) + 1);
static_assert(std::size(kPathPairs) == static_cast<size_t>(PathLabel::kMacTvxValue) + 1);
static_assert(std::size(kPortPairs) == static_cast<size_t>(PortLabel::kNeighborType) + 1);

}  // namespace

const char* CaptionFor(const LabelPair& pair, int snmp_labels) {
  return snmp_labels == 0 ? pair.snmp_name : pair.plain_label;
}

std::span<const LabelPair> MacLabelPairs() { return kMacPairs; }
std::span<const LabelPair> SmtLabelPairs() { return kSmtPairs; }
std::span<const LabelPair> MacCounterLabelPairs() { return kMacCounterPairs; }
std::span<const LabelPair> PathLabelPairs() { return kPathPairs; }
std::span<const LabelPair> PortLabelPairs() { return kPortPairs; }

const LabelPair& LabelPairFor(MacLabel label) { return kMacPairs[static_cast<size_t>(label)]; }
const LabelPair& LabelPairFor(SmtLabel label) { return kSmtPairs[static_cast<size_t>(label)]; }
const LabelPair& LabelPairFor(MacCounterLabel label) {
  return kMacCounterPairs[static_cast<size_t>(label)];
}
const LabelPair& LabelPairFor(PathLabel label) { return kPathPairs[static_cast<size_t>(label)]; }
const LabelPair& LabelPairFor(PortLabel label) { return kPortPairs[static_cast<size_t>(label)]; }

}  // namespace quivera
