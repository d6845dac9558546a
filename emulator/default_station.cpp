#include "emulator/default_station.h"

#include <cmath>
#include <cstring>

#include "adapter/management_request.h"
#include "adapter/revision_word.h"

namespace quivera {

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const char* text) {
  Bytes bytes(text, text + std::strlen(text));
  bytes.push_back(0);
  return bytes;
}

Bytes Words(std::initializer_list<uint32_t> words) {
  Bytes bytes(words.size() * 4);
  size_t at = 0;
  for (uint32_t word : words) {
    StoreU32(bytes.data() + at, word);
    at += 4;
  }
  return bytes;
}

// A station address in the area/node form of the routing layer: AA-00-04-00
// followed by the 16-bit area << 10 | node, low byte first.
Bytes AreaNodeAddress(int area, int node) {
  const int value = area << 10 | node;
  return {
      0xAA, 0x00, 0x04, 0x00, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
}

struct DeviceIdentity {
  bool pci;  // korap (PCI) or korae (EISA)
  int unit;  // 1..9
};

DeviceIdentity IdentityOf(const std::string& device) {
  DeviceIdentity identity{true, 1};
  if (device.size() == 6) {
    identity.pci = device[4] == 'p';
    identity.unit = device[5] - '0';
  }
  return identity;
}

// --- management reply blocks -------------------------------------------------

void LoadMib(Station& station, const DeviceIdentity& id) {
  const int mib = kCodeMib;
  station.SetBlockU32(mib, 0x1C, 2);       // SMT operational version
  station.SetBlockU32(mib, 0x50, 2);       // ports: two non-master ports ...
  station.SetBlockU32(mib, 0x54, 0);       // ... and no master port
  station.SetBlockU32(mib, 0x58, 3);       // available paths: primary, secondary
  station.SetBlockU32(mib, 0x64, 0x8021);  // connection policy
  station.SetBlockU32(mib, 0x74, 0);       // no optical bypass
  station.SetBlockU32(mib, 0x78, 1);       // ECM in
  station.SetBlockU32(mib, 0x7C, 12);      // CF thru
  station.SetBlockU32(mib, 0xAC, 3);       // MAC on the primary path
  station.SetBlock(mib, 0xB0, {0x08, 0x00, 0x2B, 0x36, 0x45, 0xD7});  // upstream
  station.SetBlock(mib, 0xB8, AreaNodeAddress(3, 26 + id.unit));      // downstream
  station.SetBlockU32(mib, 0xD0, 1);         // duplicate address test passed
  station.SetBlockU32(mib, 0xD8, 0);         // downstream neighbour port type A
  station.SetBlockU32(mib, 0xE4, 100000);    // T-Req 8 ms (80 ns units)
  station.SetBlockU32(mib, 0xE8, 100000);    // T-Neg
  station.SetBlockU32(mib, 0xEC, 2062500);   // T-Max 165 ms
  station.SetBlockU32(mib, 0xF0, 31250);     // TVX 2.5 ms
  station.SetBlockU32(mib, 0xFC, 2);         // RMT ring_op
  station.SetBlockU32(mib, 0x138, 31250);    // TVX lower bound
  station.SetBlockU32(mib, 0x13C, 2062500);  // T-Max lower bound
  station.SetBlockU32(mib, 0x140, 100000);   // Max T-Req
  // Per port, port 0 (A) then port 1 (B).
  station.SetBlock(mib, 0x144, Words({0, 1}));    // my type A, B
  station.SetBlock(mib, 0x14C, Words({1, 0}));    // neighbours B, A
  station.SetBlock(mib, 0x164, Words({5, 5}));    // both ports thru
  station.SetBlock(mib, 0x184, Words({0, 0}));    // multimode fibre
  station.SetBlock(mib, 0x19C, Words({15, 14}));  // LER estimates
  station.SetBlock(mib, 0x1A4, Words({7, 7}));    // LER cutoff
  station.SetBlock(mib, 0x1AC, Words({8, 8}));    // LER alarm
  station.SetBlock(mib, 0x1B4, Words({3, 3}));    // connect state active
  station.SetBlock(mib, 0x1BC, Words({8, 8}));    // PCM active
  // Ring token rotation time, u64 high word first: 100 us.
  station.SetBlock(mib, 0x1DC, Words({0, 1250}));
}

void LoadStatus(Station& station, const DeviceIdentity& id) {
  const int status = kCodeStatus;
  station.SetBlockU32(status, 0x44, 1);                                       // ring purger enabled
  station.SetBlockU32(status, 0x78, 2);                                       // non-purger
  station.SetBlockU32(status, 0x80, 0);                                       // no ring error
  station.SetBlockU32(status, 0xE0, RevisionWord(id.pci ? "B1.0" : "E3.2"));  // hardware
  station.SetBlockU32(status, 0xE4, RevisionWord("3.10"));                    // firmware
  station.SetBlock(status, 0xEC, Words({3, 3}));  // port LEDs steady green
}

void LoadLink(Station& station) {
  const int link = kCodeLink;
  station.SetBlockU32(link, 0x18, 5);           // onRingRun
  station.SetBlock(link, 0x44, Words({0, 0}));  // no reject reason
  station.SetBlockU32(link, 0x4C, 2);           // full duplex disabled (MIB false)
  station.SetBlockU32(link, 0x54, 0);           // fdxIdle
}

// --- flash areas ----------------------------------------------------------------

constexpr size_t kFlashData = 20;  // data offset in the flash query replies

void LoadDriverParameters(Station& station, const DeviceIdentity& id) {
  Bytes area(Station::kBlockSize - kFlashData, 0xFF);  // erased flash beyond the record
  const Bytes record = Words({0x4B505231,              // record tag
                              1,                       // layout version
                              0x1F0,                   // record length
                              1,                       // ring purger enable
                              2,                       // full duplex: disabled
                              100000,                  // requested T-Req
                              7, 8,                    // LER cutoff, alarm
                              64, 32,                  // receive, transmit buffers
                              id.pci ? 0u : 11u,       // EISA interrupt line
                              0x8021});                // connection policy
  std::memcpy(area.data(), record.data(), record.size());
  const char user_data[] = "QUIVERA test station";
  std::memcpy(area.data() + 0x40, user_data, sizeof(user_data));
  station.SetBlock(kCodeDriverParams, kFlashData, area);
}

void LoadSerialNumber(Station& station, const Bytes& permanent, const DeviceIdentity& id) {
  Bytes area(128, 0xFF);
  std::memcpy(area.data(), permanent.data(), permanent.size());
  uint8_t sum = 0;
  for (uint8_t b : permanent) sum = static_cast<uint8_t>(sum + b);
  area[6] = static_cast<uint8_t>(~sum);  // address checksum
  area[7] = 0;
  char serial[32];
  std::snprintf(serial, sizeof(serial), "%s-95%02d-0471%d", id.pci ? "KP" : "KE", 10 + id.unit,
                id.unit);
  std::memcpy(area.data() + 8, serial, std::strlen(serial) + 1);
  station.SetBlock(kCodeSerialNumber, kFlashData, area);
}

// One error-log entry: status at 16, caller 24, timestamp 28/32, write count
// 36, test ID 40, test data 48.., register words 7.. from 72 (word 7 the halt
// code, 8 the fault type, 9 the failed PC).
struct LogEntry {
  uint32_t caller;
  uint32_t time_low;
  uint32_t time_high;
  uint32_t write_count;
  uint32_t test_id;
  uint32_t halt;
  uint32_t fault;
  uint32_t pc;
};

void LoadErrorLogEntry(Station& station, int entry, const LogEntry& e) {
  station.SetErrorLog(
      entry, 16, Words({0, 0, e.caller, e.time_low, e.time_high, e.write_count, e.test_id, 0}));
  Bytes test_data(24);
  for (size_t i = 0; i < 6; ++i) {
    StoreU32(test_data.data() + i * 4, e.test_id == 0 ? 0 : 0x5A5A0000u + e.test_id * 16 + i);
  }
  station.SetErrorLog(entry, 48, test_data);

  // Register dump: words 7 .. 116 fit in the reply (word 117 lies beyond it).
  Bytes dump;
  for (uint32_t word = 7; 72 + (word - 7) * 4 + 4 <= Station::kBlockSize; ++word) {
    uint32_t value;
    if (word == 7) {
      value = e.halt;
    } else if (word == 8) {
      value = e.fault;
    } else if (word == 9) {
      value = e.pc;
    } else if (word == 10) {
      value = 0x2700;  // status register: supervisor, interrupts masked
    } else if (word <= 18) {
      value = (word - 11) * 0x1111u + static_cast<uint32_t>(entry) * 0x100u;  // D0..D7
    } else if (word <= 26) {
      value = 0x00200000u + (word - 19) * 0x40u;  // A0..A7 in adapter memory
    } else if (word == 97) {
      value = 0x00030100;  // firmware version 3.10
    } else if (word >= 98) {
      value = 0x0001A000u + (word - 98) * 4;  // stack: return addresses
    } else {
      value = (word * 0x9E37u + static_cast<uint32_t>(entry) * 0x31u) & 0xFFFFu;  // registers
    }
    Bytes one(4);
    StoreU32(one.data(), value);
    dump.insert(dump.end(), one.begin(), one.end());
  }
  station.SetErrorLog(entry, 72, dump);
}

void LoadErrorLog(Station& station) {
  // 0: a hardware fault (ELM parity error) halted the firmware.
  LoadErrorLogEntry(station, 0, {5, 0x3A6B1C00, 0x0012, 3, 0, 4, 0x0C, 0x0001A3F4});
  // 1: the normal self-test failed a test.
  LoadErrorLogEntry(station, 1, {1, 0x1F004A20, 0x0011, 2, 0x0021, 0, 0, 0x00010C88});
  // 2: a software fault.
  LoadErrorLogEntry(station, 2, {5, 0x08C1D5E0, 0x0010, 1, 0, 3, 0, 0x00012B3E});
  // 3: never written: erased flash.
  station.SetErrorLog(3, 16, Bytes(Station::kBlockSize - 16, 0xFF));
}

// --- standard replies ------------------------------------------------------------

void LoadStandard(Station& station, const DeviceIdentity& id, const Bytes& permanent) {
  station.SetOidU32(kOidGenVendorId, kMinimumDriverVersion);
  station.SetOid(kOidFddiLongPermanentAddr, permanent);
  station.SetOid(kOidFddiLongCurrentAddr, AreaNodeAddress(3, 40 + (id.pci ? 10 : 0) + id.unit));
  station.SetOid(kOidFddiLongMulticastList,
                 {
                     0x09, 0x00, 0x2B, 0x02, 0x01, 0x05,  // ring purger
                     0x01, 0x00, 0x5E, 0x00, 0x00, 0x01,  // IP multicast, all hosts
                     0x03, 0x00, 0x00, 0x00, 0x00, 0x01,  // NETBIOS
                     0x09, 0x00, 0x2B, 0x00, 0x00, 0x0F,  // terminal transport
                     0x01, 0x80, 0xC2, 0x00, 0x01, 0x10,  // a group with no protocol name
                 });
  // The program reads the description into 32 bytes, its NUL included.
  station.SetOid(kOidGenVendorDescription,
                 Text(id.pci ? "KORAP PCI FDDI Adapter V2.00" : "KORAE EISA FDDI Adapter V2.00"));
  station.SetOidU32(kOidGenCurrentPacketFilter, 0x4B);  // directed, multicast, broadcast, SMT
  station.SetOidU32(kOidGenMaximumTotalSize, 4500);
}

}  // namespace

// --- live counters --------------------------------------------------------------

LiveCounters::LiveCounters(Now now) : now_(std::move(now)) {}

void LiveCounters::AddOid(uint32_t oid, double rate, bool busy, uint64_t start) {
  counters_.push_back({oid, 0, 0, rate, busy, start, 0.0, false});
}

void LiveCounters::AddBlock(size_t offset, double rate, bool busy, uint64_t start) {
  counters_.push_back({0, kCodeCounters, offset, rate, busy, start, 0.0, false});
}

void LiveCounters::AddDefaultCounters(const std::string& device) {
  const uint64_t seed = static_cast<uint64_t>(IdentityOf(device).unit) * 7919;
  // Standard statistics (32-bit, they wrap). Transmit 850 frames/s, receive
  // 1300 frames/s, split into directed, multicast and broadcast.
  AddOid(kOidGenXmitOk, 850, true, 41230000 + seed);
  AddOid(kOidGenRcvOk, 1300, true, 63310000 + seed);
  AddOid(kOidGenXmitError, 0.01, false, 3);
  AddOid(kOidGenRcvError, 0.05, false, 17);
  AddOid(kOidGenRcvNoBuffer, 0.02, false, 5);
  AddOid(kOidGenRcvCrcError, 0.03, false, 9);
  AddOid(kOidGenDirectedBytesXmit, 760.0 * 620, true, 2400000000u);
  AddOid(kOidGenDirectedFramesXmit, 760, true, 36880000 + seed);
  AddOid(kOidGenMulticastBytesXmit, 60.0 * 180, true, 52900000);
  AddOid(kOidGenMulticastFramesXmit, 60, true, 2940000);
  AddOid(kOidGenBroadcastBytesXmit, 30.0 * 90, true, 13200000);
  AddOid(kOidGenBroadcastFramesXmit, 30, true, 1470000);
  AddOid(kOidGenDirectedBytesRcv, 1150.0 * 540, true, 3100000000u);
  AddOid(kOidGenDirectedFramesRcv, 1150, true, 56100000 + seed);
  AddOid(kOidGenMulticastBytesRcv, 100.0 * 160, true, 78000000);
  AddOid(kOidGenMulticastFramesRcv, 100, true, 4870000);
  AddOid(kOidGenBroadcastBytesRcv, 50.0 * 110, true, 26800000);
  AddOid(kOidGenBroadcastFramesRcv, 50, true, 2430000);

  // MAC counters (64-bit). Tokens at 5200/s with a 100 us rotation time put
  // about half the ring's capacity in use; the high word is already non-zero.
  AddBlock(0x164, 5200, true, 0x27A1B3C40ull + seed);
  AddBlock(0x7C, 0.001, false, 0);   // transmit underruns
  AddBlock(0x94, 0.02, false, 211);  // frame status errors
  AddBlock(0xB4, 0.001, false, 12);  // ring initialisations initiated
  AddBlock(0xBC, 0.002, false, 31);  // ring initialisations received
  AddBlock(0xC4, 0.0005, false, 2);  // beaconing initiated
  AddBlock(0xCC, 0.0, false, 0);     // duplicate address test failures
  AddBlock(0xD4, 0.0002, false, 1);  // duplicate tokens
  AddBlock(0xDC, 0.003, false, 7);   // ring purge errors
  AddBlock(0xE4, 0.001, false, 4);   // FCI strip errors
  AddBlock(0xEC, 0.0001, false, 0);  // traces initiated
  AddBlock(0xFC, 0.01, false, 38);   // frame alignment errors
  // Port counters, port 0 then port 1, 8 bytes apart.
  AddBlock(0x114, 0.0005, false, 1);  // LCT failures
  AddBlock(0x11C, 0.0005, false, 0);
  AddBlock(0x124, 0.0002, false, 0);  // LEM rejects
  AddBlock(0x12C, 0.0002, false, 1);
  AddBlock(0x134, 0.05, false, 1432);  // LEM error counts
  AddBlock(0x13C, 0.05, false, 977);
}

void LiveCounters::PinOid(uint32_t oid) {
  for (Counter& counter : counters_) {
    if (counter.oid != 0 && counter.oid == oid) counter.pinned = true;
  }
}

void LiveCounters::PinBlockBytes(int code, size_t offset, size_t size) {
  for (Counter& counter : counters_) {
    if (counter.oid == 0 && counter.code == code && offset < counter.offset + 8 &&
        counter.offset < offset + size) {
      counter.pinned = true;
    }
  }
}

void LiveCounters::Advance(Station& station) {
  const Clock::time_point now = now_();
  if (started_) {
    double seconds = std::chrono::duration<double>(now - last_).count();
    if (seconds < 0) seconds = 0;
    for (Counter& counter : counters_) {
      const double growth = counter.rate * seconds + counter.fraction;
      double whole = std::floor(growth);
      counter.fraction = growth - whole;
      if (counter.busy && whole < 1) {
        whole = 1;
        counter.fraction = 0;
      }
      counter.value += static_cast<uint64_t>(whole);
    }
  }
  started_ = true;
  last_ = now;
  Write(station);
}

void LiveCounters::Write(Station& station) const {
  for (const Counter& counter : counters_) {
    if (counter.pinned) continue;
    if (counter.oid != 0) {
      station.SetOidU32(counter.oid, static_cast<uint32_t>(counter.value));
    } else {
      station.SetBlockU32(counter.code, counter.offset, static_cast<uint32_t>(counter.value >> 32));
      station.SetBlockU32(counter.code, counter.offset + 4, static_cast<uint32_t>(counter.value));
    }
  }
}

// --- the whole station -------------------------------------------------------------

bool IsEmulatedDevice(const std::string& device) {
  return device.size() == 6 && (device.rfind("korae", 0) == 0 || device.rfind("korap", 0) == 0) &&
         device[5] >= '1' && device[5] <= '9';
}

std::shared_ptr<LiveCounters> LoadDefaultStation(Station& station, const std::string& device) {
  const DeviceIdentity id = IdentityOf(device);
  const Bytes permanent = {0x08,
                           0x00,
                           0x2B,
                           0xA2,
                           static_cast<uint8_t>(id.pci ? 0x50 : 0x40),
                           static_cast<uint8_t>(0x10 + id.unit)};
  LoadStandard(station, id, permanent);
  LoadMib(station, id);
  LoadStatus(station, id);
  LoadLink(station);
  LoadDriverParameters(station, id);
  LoadSerialNumber(station, permanent, id);
  LoadErrorLog(station);

  auto live = std::make_shared<LiveCounters>();
  live->AddDefaultCounters(device);
  live->Advance(station);
  station.before_request = [live](Station& target, uint32_t, int) { live->Advance(target); };
  return live;
}

}  // namespace quivera
