// The texts of the enumerated management values. Each MIB object has its own
// table: a list of {value, text} rows plus the text shown for any value the
// table does not list. The same word often appears in two tables in different
// forms ("isolated" for a MAC path, "Isolated" for a PORT path); each table
// keeps its own form, so always pick the table of the object being shown.
//
// Every text returned here points at static data that lives as long as the
// program; nothing is allocated and nothing can fail.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quivera {

struct ValueText {
  uint32_t value;
  const char* text;
};

struct ValueTable {
  std::span<const ValueText> rows;
  const char* out_of_range;  // shown for any value not in 'rows'
};

// The table's text for 'value', or the table's out-of-range text when the
// value is not listed.
const char* TextFor(const ValueTable& table, uint32_t value);

// The table's text for 'value', or nullptr when the value is not listed.
const char* TryTextFor(const ValueTable& table, uint32_t value);

// The table's text for 'value', or 'fallback' when the value is not listed
// (for views that use their own word for unknown values, such as "unknown").
const char* TextOr(const ValueTable& table, uint32_t value, const char* fallback);

// One table per MIB object, in the order the MIB groups list them.
extern const ValueTable kMacCurrentPathTexts;         // fddimibMACCurrentPath
extern const ValueTable kPortCurrentPathTexts;        // fddimibPORTCurrentPath
extern const ValueTable kMacDownstreamPortTypeTexts;  // fddimibMACDownstreamPORTType
extern const ValueTable kPortMyTypeTexts;             // fddimibPORTMyType
extern const ValueTable kPortNeighborTypeTexts;       // fddimibPORTNeighborType
extern const ValueTable kMacDupAddressTestTexts;      // fddimibMACDupAddressTest
extern const ValueTable kMacLinkStateTexts;           // eMACLinkState
extern const ValueTable kMacRmtStateTexts;            // fddimibMACRMTState
extern const ValueTable kMacRingPurgerStateTexts;     // eMACRingPurgerState
extern const ValueTable kMacRingPurgerEnableTexts;    // eMACRingPurgerEnable (0 = disabled)
extern const ValueTable kMacRingErrorReasonTexts;     // eMACRingErrorReason
extern const ValueTable kFdxStateTexts;               // eFDXState
extern const ValueTable kFdxEnableTexts;              // eFDXEnable (MIB truth value: 2 = false)
extern const ValueTable kPortPmdClassTexts;           // fddimibPORTPMDClass
extern const ValueTable kPortRejectReasonTexts;       // ePORTRejectReason
extern const ValueTable kPortPcmStateTexts;           // fddimibPORTPCMState
extern const ValueTable kPortConnectStateTexts;       // fddimibPORTConnectState
extern const ValueTable kSmtBypassPresentTexts;       // fddimibSMTBypassPresent
extern const ValueTable kSmtEcmStateTexts;            // fddimibSMTECMState
extern const ValueTable kSmtCfStateTexts;             // fddimibSMTCFState

// Every table above with the name of the object it belongs to, in the order
// declared above (for tests and diagnostics).
struct NamedValueTable {
  const char* mib_object;
  const ValueTable* table;
};
std::span<const NamedValueTable> AllValueTables();

// Bit-list texts: one text per set bit, in the fixed order below; bits that
// are not listed are ignored. An empty list when no listed bit is set.
//
// fddimibSMTAvailablePaths: 0x1 "Primary", 0x2 "Secondary", 0x4 "Local".
std::vector<const char*> AvailablePathTexts(uint32_t bits);
// The adapter's receive packet filter: 0x01 "Directed", 0x02 "Multicast",
// 0x04 "All Multicast", 0x08 "Broadcast", 0x40 "SMT", 0x20 "Promiscuous"
// (the SMT bit is listed before the promiscuous bit).
std::vector<const char*> ReceiveFilterTexts(uint32_t bits);

// The bit and text of each row of the two bit lists, in list order (pages
// that show one check box per bit walk these).
struct BitText {
  uint32_t bit;
  const char* text;
};
std::span<const BitText> AvailablePathBits();
std::span<const BitText> ReceiveFilterBits();

}  // namespace quivera
