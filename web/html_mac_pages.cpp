// The MAC and MAC Counters pages.
#include <array>

#include "present/address_texts.h"
#include "present/value_texts.h"
#include "web/html_frame.h"
#include "web/html_pages.h"

namespace quivera {

namespace {

constexpr LabelledItem kMacCounters[] = {
    {"<P>Tokens Received = ", ManagementItem::MacTokensReceived},
    {"<P>Ring Purge Errors = ", ManagementItem::MacRingPurgeErrors},
    {"<P>FCI Strip Errors = ", ManagementItem::MacFciStripErrors},
    {"<P>Ring Initializations Initiated = ", ManagementItem::MacRingInitsInitiated},
    {"<P>Ring Initializations Received = ", ManagementItem::MacRingInitsReceived},
    {"<P>Ring Beaconing Initiated = ", ManagementItem::MacRingBeaconingInitiated},
    {"<P>Address Test Failures = ", ManagementItem::MacAddressTestFailures},
    {"<P>Duplicate Tokens Detected = ", ManagementItem::MacDuplicateTokens},
    {"<P>Traces Initiated = ", ManagementItem::MacTracesInitiated},
    {"<P>Frame Status Errors = ", ManagementItem::MacFrameStatusErrors},
    {"<P>Frame Alignment Errors = ", ManagementItem::MacFrameAlignmentErrors},
    {"<P>Transmit Underruns = ", ManagementItem::MacTransmitUnderruns},
};

// Room for 32 multicast addresses.
constexpr size_t kMulticastListSize = 192;

// The "unknown" word the MAC page shows for values outside a table.
constexpr const char* kUnknown = "unknown";

// Appends 'label' and the word for the value of 'item', only when the read
// succeeds. 'word' maps the value to its text.
template <class WordFn>
void AppendWordLine(std::string* out, std::string_view label, AdapterList& adapters,
                    ManagementItem item, WordFn word) {
  uint32_t value = 0;
  if (GetU32(adapters, item, &value) != 0) return;
  out->append(label);
  out->append(word(value));
}

void AppendMulticastTable(std::string* out, AdapterList& adapters) {
  std::array<uint8_t, kMulticastListSize> list{};
  size_t length = list.size();
  if (adapters.GetItem(ManagementItem::MacMulticastList, list.data(), &length) != 0) return;
  const size_t delivered = length < list.size() ? length : list.size();
  for (size_t offset = 0; offset + 6 <= delivered; offset += 6) {
    out->append("<P>");
    out->append(CanonicalAddressText(AddressBytes(list.data() + offset, 6)));
  }
  out->append("<P><HR>");
}

}  // namespace

void AppendMacCountersPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "QUIVERA/FDDI MAC Counters", adapters);
  out->append("<H2>MAC Counters</H2><HR>");
  // The adapter's running totals: the property page's baselines do not apply.
  for (const LabelledItem& counter : kMacCounters) {
    AppendCounterLine(out, counter.label, adapters, counter.item);
  }
  out->append("<HR></BODY>");
}

void AppendMacPage(std::string* out, AdapterList& adapters) {
  AppendPageStart(out, "QUIVERA/FDDI MAC Objects", adapters);
  out->append("<H2>MAC Objects</H2><HR>");

  out->append("<STRONG>Address Information</STRONG><P>");
  AppendAddressLine(out, "<P>Current Address = ", adapters, ManagementItem::MacCurrentAddress);
  AppendAddressLine(out, "<P>Permanent Address = ", adapters, ManagementItem::MacPermanentAddress);
  AppendAddressLine(out, "<P>Upstream Neighbor = ", adapters, ManagementItem::MacUpstreamNeighbor);
  AppendAddressLine(out, "<P>Downstream Neighbor = ", adapters,
                    ManagementItem::MacDownstreamNeighbor);
  AppendWordLine(out, "<P>Downstream Port Type = ", adapters, ManagementItem::MacDownstreamPortType,
                 [](uint32_t v) { return TextFor(kMacDownstreamPortTypeTexts, v); });

  out->append("<HR>");
  out->append("<STRONG>Multicast Address Table</STRONG><P>");
  AppendMulticastTable(out, adapters);

  out->append("<STRONG>Ring Purger</STRONG><P>");
  AppendWordLine(out, "<P>Ring Purger State = ", adapters, ManagementItem::MacRingPurgerState,
                 [](uint32_t v) { return TextOr(kMacRingPurgerStateTexts, v, kUnknown); });
  AppendWordLine(out, "<P>Ring Purger Enable = ", adapters, ManagementItem::MacRingPurgerEnable,
                 [](uint32_t v) { return TextFor(kMacRingPurgerEnableTexts, v); });
  AppendCounterLine(out, "<P>Ring Purge Errors = ", adapters, ManagementItem::MacRingPurgeErrors);

  out->append("<HR>");
  out->append("<STRONG>Full Duplex</STRONG><P>");
  AppendWordLine(out, "<P>Full Duplex State = ", adapters, ManagementItem::MacFullDuplexState,
                 [](uint32_t v) { return TextOr(kFdxStateTexts, v, kUnknown); });
  // The adapter item codes 0 as disabled (the MIB truth value of the property
  // page's table would call 0 enabled).
  AppendWordLine(out, "<P>Full Duplex Enable = ", adapters, ManagementItem::MacFullDuplexEnable,
                 [](uint32_t v) { return v == 0 ? "Disabled" : "Enabled"; });

  out->append("<HR>");
  out->append("<STRONG>MAC State</STRONG><P>");
  AppendWordLine(out, "<P>Current Path = ", adapters, ManagementItem::MacCurrentPath,
                 [](uint32_t v) { return TextOr(kMacCurrentPathTexts, v, kUnknown); });
  AppendWordLine(out, "<P>Duplicate Address Test = ", adapters, ManagementItem::MacDupAddressTest,
                 [](uint32_t v) { return TextOr(kMacDupAddressTestTexts, v, kUnknown); });
  // The adapter item counts link states from 0, the table from 1; the
  // wrap of 0xFFFFFFFF + 1 lands on 0, which the table does not list.
  AppendWordLine(out, "<P>MAC Link State = ", adapters, ManagementItem::MacLinkState,
                 [](uint32_t v) { return TextOr(kMacLinkStateTexts, v + 1, kUnknown); });
  AppendWordLine(out, "<P>RMT State = ", adapters, ManagementItem::MacRmtState,
                 [](uint32_t v) { return TextOr(kMacRmtStateTexts, v, kUnknown); });
  AppendWordLine(out, "<P>Ring Error Reason = ", adapters, ManagementItem::MacRingErrorReason,
                 [](uint32_t v) { return TextOr(kMacRingErrorReasonTexts, v, kUnknown); });
  out->append("<HR></BODY>");
}

}  // namespace quivera
