// The enumeration text tables and the bit-list texts. The tables are plain
// data, one per MIB object; the tables are short, so a linear scan is all the
// lookup needs.
#include "present/value_texts.h"

namespace quivera {

namespace {

constexpr ValueText kMacCurrentPathRows[] = {
    {0, "isolated"}, {1, "local"},        {2, "secondary"},
    {3, "primary"},  {4, "concatenated"}, {5, "thru"},
};

constexpr ValueText kPortCurrentPathRows[] = {
    {0, "Isolated"}, {1, "Local"},        {2, "Secondary"},
    {3, "Primary"},  {4, "Concatenated"}, {5, "Thru"},
};

constexpr ValueText kMacDownstreamPortTypeRows[] = {
    {0, "a"},
    {1, "b"},
    {2, "s"},
    {3, "m"},
};

// Shared by fddimibPORTMyType and fddimibPORTNeighborType, which code the
// PORT type alike.
constexpr ValueText kPortTypeRows[] = {
    {0, "A"}, {1, "B"}, {2, "S"}, {3, "M"}, {4, "None"},
};

constexpr ValueText kMacDupAddressTestRows[] = {
    {0, "none"},
    {1, "pass"},
    {2, "fail"},
};

// Numbered from 1: 0 is not a link state.
constexpr ValueText kMacLinkStateRows[] = {
    {1, "offMaint"},   {2, "offReady"},  {3, "offFaultRecovery"},
    {4, "onRingInit"}, {5, "onRingRun"}, {6, "broken"},
};

constexpr ValueText kMacRmtStateRows[] = {
    {0, "Isolated"},   {1, "Non_Op"},      {2, "Ring_Op"},  {3, "Detect"},
    {4, "Non_Op_Dup"}, {5, "Ring_Op_Dup"}, {6, "Directed"}, {7, "Trace"},
};

constexpr ValueText kMacRingPurgerStateRows[] = {
    {0, "purgerOff"},
    {1, "candidate"},
    {2, "nonPurger"},
    {3, "purger"},
};

// Any value but 0 means enabled.
constexpr ValueText kMacRingPurgerEnableRows[] = {
    {0, "Disabled"},
};

// Reasons 1 to 4 are not used by the adapter.
constexpr ValueText kMacRingErrorReasonRows[] = {
    {0, "noReason"},           {5, "ringInitInitiated"},
    {6, "ringInitReceived"},   {7, "ringBeaconingInitiated"},
    {8, "daDetected"},         {9, "duplicateTokenDetected"},
    {10, "ringPurgerError"},   {11, "bridgeStripError"},
    {12, "ringOpOscillation"}, {13, "directedBeaconReceived"},
    {14, "psTraceInitiated"},  {15, "pcTraceReceived"},
};

constexpr ValueText kFdxStateRows[] = {
    {0, "fdxIdle"},
    {1, "fdxRequest"},
    {2, "fdxConfirm"},
    {3, "fdxOperation"},
};

// The MIB truth value: 1 true, 2 false; anything but 2 counts as enabled.
constexpr ValueText kFdxEnableRows[] = {
    {2, "Disabled"},
};

constexpr ValueText kPortPmdClassRows[] = {
    {0, "Multimode"},       {1, "Single Mode 1"}, {2, "Single Mode 2"}, {3, "SONET"},
    {4, "Low Power Fiber"}, {5, "Twisted Pair"},  {6, "Unknown"},       {7, "Unspecified"},
};

constexpr ValueText kPortRejectReasonRows[] = {
    {0, "No reason"},        {1, "LCT Failure Local"}, {2, "LCT Failure Remote"},
    {3, "LCT Failure Both"}, {4, "LEM Reject"},        {5, "Topology Error"},
    {6, "TNE Expired"},      {7, "Remote Reject"},     {8, "Traces In Progress"},
    {9, "Traces Received"},  {10, "Standby"},          {11, "LCT Protocol Error"},
};

constexpr ValueText kPortPcmStateRows[] = {
    {0, "Off"},    {1, "Break"}, {2, "Trace"},  {3, "Connect"}, {4, "Next"},
    {5, "Signal"}, {6, "Join"},  {7, "Verify"}, {8, "Active"},  {9, "Maint"},
};

constexpr ValueText kPortConnectStateRows[] = {
    {0, "Disabled"},
    {1, "Connecting"},
    {2, "Standby"},
    {3, "Active"},
};

constexpr ValueText kSmtBypassPresentRows[] = {
    {0, "False"},
    {1, "True"},
};

constexpr ValueText kSmtEcmStateRows[] = {
    {0, "Out"},       {1, "In"},     {2, "Trace"}, {3, "Leave"},
    {4, "Path_Test"}, {5, "Insert"}, {6, "Check"}, {7, "Deinsert"},
};

constexpr ValueText kSmtCfStateRows[] = {
    {0, "isolated"},  {1, "local_a"},   {2, "local_b"}, {3, "local_ab"}, {4, "local_s"},
    {5, "wrap_a"},    {6, "wrap_b"},    {7, "wrap_ab"}, {8, "wrap_s"},   {9, "c_wrap_a"},
    {10, "c_wrap_b"}, {11, "c_wrap_s"}, {12, "thru"},
};

constexpr BitText kAvailablePathBits[] = {
    {0x1, "Primary"},
    {0x2, "Secondary"},
    {0x4, "Local"},
};

// In the order the pages list them: SMT before Promiscuous although its bit
// is the higher one.
constexpr BitText kReceiveFilterBits[] = {
    {0x01, "Directed"},  {0x02, "Multicast"}, {0x04, "All Multicast"},
    {0x08, "Broadcast"}, {0x40, "SMT"},       {0x20, "Promiscuous"},
};

std::vector<const char*> SetBitTexts(std::span<const BitText> bits, uint32_t value) {
  std::vector<const char*> texts;
  for (const BitText& row : bits) {
    if ((value & row.bit) != 0) texts.push_back(row.text);
  }
  return texts;
}

}  // namespace

constinit const ValueTable kMacCurrentPathTexts{kMacCurrentPathRows, "----"};
constinit const ValueTable kPortCurrentPathTexts{kPortCurrentPathRows, "-----"};
constinit const ValueTable kMacDownstreamPortTypeTexts{kMacDownstreamPortTypeRows, "none"};
constinit const ValueTable kPortMyTypeTexts{kPortTypeRows, "----"};
constinit const ValueTable kPortNeighborTypeTexts{kPortTypeRows, "----"};
constinit const ValueTable kMacDupAddressTestTexts{kMacDupAddressTestRows, "----"};
constinit const ValueTable kMacLinkStateTexts{kMacLinkStateRows, "-----"};
constinit const ValueTable kMacRmtStateTexts{kMacRmtStateRows, "-----"};
constinit const ValueTable kMacRingPurgerStateTexts{kMacRingPurgerStateRows, "-----"};
constinit const ValueTable kMacRingPurgerEnableTexts{kMacRingPurgerEnableRows, "Enabled"};
constinit const ValueTable kMacRingErrorReasonTexts{kMacRingErrorReasonRows, "------"};
constinit const ValueTable kFdxStateTexts{kFdxStateRows, "------"};
constinit const ValueTable kFdxEnableTexts{kFdxEnableRows, "Enabled"};
constinit const ValueTable kPortPmdClassTexts{kPortPmdClassRows, "------"};
constinit const ValueTable kPortRejectReasonTexts{kPortRejectReasonRows, "-----"};
constinit const ValueTable kPortPcmStateTexts{kPortPcmStateRows, "-----"};
constinit const ValueTable kPortConnectStateTexts{kPortConnectStateRows, "-----"};
constinit const ValueTable kSmtBypassPresentTexts{kSmtBypassPresentRows, "----"};
constinit const ValueTable kSmtEcmStateTexts{kSmtEcmStateRows, "----"};
constinit const ValueTable kSmtCfStateTexts{kSmtCfStateRows, "----"};

const char* TryTextFor(const ValueTable& table, uint32_t value) {
  for (const ValueText& row : table.rows) {
    if (row.value == value) return row.text;
  }
  return nullptr;
}

const char* TextOr(const ValueTable& table, uint32_t value, const char* fallback) {
  const char* text = TryTextFor(table, value);
  return text != nullptr ? text : fallback;
}

const char* TextFor(const ValueTable& table, uint32_t value) {
  return TextOr(table, value, table.out_of_range);
}

std::span<const NamedValueTable> AllValueTables() {
  static constexpr NamedValueTable kAll[] = {
      {"fddimibMACCurrentPath", &kMacCurrentPathTexts},
      {"fddimibPORTCurrentPath", &kPortCurrentPathTexts},
      {"fddimibMACDownstreamPORTType", &kMacDownstreamPortTypeTexts},
      {"fddimibPORTMyType", &kPortMyTypeTexts},
      {"fddimibPORTNeighborType", &kPortNeighborTypeTexts},
      {"fddimibMACDupAddressTest", &kMacDupAddressTestTexts},
      {"eMACLinkState", &kMacLinkStateTexts},
      {"fddimibMACRMTState", &kMacRmtStateTexts},
      {"eMACRingPurgerState", &kMacRingPurgerStateTexts},
      {"eMACRingPurgerEnable", &kMacRingPurgerEnableTexts},
      {"eMACRingErrorReason", &kMacRingErrorReasonTexts},
      {"eFDXState", &kFdxStateTexts},
      {"eFDXEnable", &kFdxEnableTexts},
      {"fddimibPORTPMDClass", &kPortPmdClassTexts},
      {"ePORTRejectReason", &kPortRejectReasonTexts},
      {"fddimibPORTPCMState", &kPortPcmStateTexts},
      {"fddimibPORTConnectState", &kPortConnectStateTexts},
      {"fddimibSMTBypassPresent", &kSmtBypassPresentTexts},
      {"fddimibSMTECMState", &kSmtEcmStateTexts},
      {"fddimibSMTCFState", &kSmtCfStateTexts},
  };
  return kAll;
}

std::vector<const char*> AvailablePathTexts(uint32_t bits) {
  return SetBitTexts(kAvailablePathBits, bits);
}

std::vector<const char*> ReceiveFilterTexts(uint32_t bits) {
  return SetBitTexts(kReceiveFilterBits, bits);
}

std::span<const BitText> AvailablePathBits() { return kAvailablePathBits; }

std::span<const BitText> ReceiveFilterBits() { return kReceiveFilterBits; }

}  // namespace quivera
