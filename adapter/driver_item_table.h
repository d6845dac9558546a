// Where each management item of a DriverAdapter comes from: a reply block
// and its offset, a standard query, the device path, or the performance
// sample. One table, in item order; the adapter reads it and nothing else
// knows a reply offset.
#pragma once

#include <cstdint>

#include "adapter/management_item.h"

namespace quivera {

enum class ItemFrom : uint8_t {
  kStatus,        // StatusBlock offset
  kLink,          // LinkBlock offset
  kMib,           // MibBlock offset
  kCounter,       // CounterBlock offset
  kStandard,      // standard query of an OID
  kDeviceName,    // the stored device path
  kComputed,      // the performance sample
  kErrorLog,      // ErrorLogBlock of entry 'index'
  kDriverParams,  // DriverParamBlock
  kSerialNumber,  // SerialNumberBlock
  kStationRecord, // the station record, read afresh each time
};

enum class ItemShape : uint8_t {
  kU32,      // one word (a standard reply brings at least one)
  kU64,      // two words, the more significant first
  kAddress,  // 6 bytes (a standard reply brings at least 6)
  kPortSum,  // the sum of two consecutive words
  kReply,    // what the driver returns, as long as it returns
  kText,     // like kReply, NUL-terminated
  kBlock,    // the caller's length from the block start
};

struct DriverItemSource {
  ManagementItem item;
  ItemFrom source;
  ItemShape shape;
  uint32_t where;  // block offset, or the OID of a standard query
  bool per_port;
};

// The row of 'item', or nullptr for an item a DriverAdapter does not offer.
const DriverItemSource* FindDriverItemSource(ManagementItem item);

}  // namespace quivera
