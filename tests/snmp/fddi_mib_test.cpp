// The FDDI MIB view: each served object's coding in the MIB's terms, objects
// the adapter did not deliver left out, rows per station and port, and the
// OID order get-next walks.
#include "snmp/fddi_mib.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quivera {
namespace {

// A station whose every value is delivered, with the emulator's default
// content.
StationValues FullStation() {
  StationValues s;
  s.op_version_id = 2;
  s.available_paths = 3;
  s.connection_policy = 0x8021;
  s.bypass_present = 0;
  s.ecm_state = 1;
  s.cf_state = 12;
  s.mac_current_path = 3;
  s.upstream_neighbor = MacAddress{8, 0, 0x2B, 0x36, 0x45, 0xD7};
  s.downstream_neighbor = MacAddress{0xAA, 0, 4, 0, 0x1B, 0x0C};
  s.smt_address = MacAddress{0xAA, 0, 4, 0, 0x33, 0x0C};
  s.dup_address_test = 1;
  s.downstream_port_type = 0;
  s.t_req = 100000;
  s.t_neg = 100000;
  s.t_max = 2062500;
  s.tvx_value = 31250;
  s.rmt_state = 2;
  s.tokens = 0x100000005ull;
  s.tvx_lower_bound = 31250;
  s.t_max_lower_bound = 2062500;
  s.max_t_req = 100000;
  s.port_count = 2;
  for (PortValues& p : s.ports) {
    p.my_type = 0;
    p.neighbor_type = 1;
    p.current_path = 5;
    p.pmd_class = 0;
    p.lct_failures = 3;
    p.ler_estimate = 15;
    p.lem_rejects = 1;
    p.lem_counts = 1432;
    p.ler_cutoff = 7;
    p.ler_alarm = 8;
    p.connect_state = 3;
    p.pcm_state = 8;
  }
  return s;
}

const MibValue* Lookup(const MibView& view, const OidSuffix& oid) {
  const MibEntry* e = view.Find(oid);
  return e ? &e->value : nullptr;
}

MibValue Int(int64_t v) { return {MibValue::Type::kInteger, v, {}}; }
MibValue C32(int64_t v) { return {MibValue::Type::kCounter32, v, {}}; }

struct CodingCase {
  const char* what;
  std::function<void(StationValues&)> change;
  OidSuffix oid;
  std::optional<MibValue> expected;  // nullopt: the object is absent
};

TEST(FddiMibTest, ValuesAreCodedInTheMibsTermsOrLeftOut) {
  const std::vector<CodingCase> cases = {
      {"ECM state counts from 1", [](StationValues&) {}, {1, 2, 1, 19, 1}, Int(2)},
      {"ECM state past the table", [](StationValues& s) { s.ecm_state = 8; }, {1, 2, 1, 19, 1},
       std::nullopt},
      {"CF state thru", [](StationValues&) {}, {1, 2, 1, 20, 1}, Int(13)},
      {"bypass absent is false(2)", [](StationValues&) {}, {1, 2, 1, 18, 1}, Int(2)},
      {"bypass present is true(1)", [](StationValues& s) { s.bypass_present = 1; },
       {1, 2, 1, 18, 1}, Int(1)},
      {"bypass undefined code", [](StationValues& s) { s.bypass_present = 2; }, {1, 2, 1, 18, 1},
       std::nullopt},
      {"op version outside 1..65535", [](StationValues& s) { s.op_version_id = 0x312E30; },
       {1, 2, 1, 3, 1}, std::nullopt},
      {"connection policy", [](StationValues&) {}, {1, 2, 1, 14, 1}, Int(0x8021)},
      {"connection policy without M-M bit", [](StationValues& s) { s.connection_policy = 0x21; },
       {1, 2, 1, 14, 1}, std::nullopt},
      {"user data not delivered", [](StationValues&) {}, {1, 2, 1, 6, 1}, std::nullopt},
      {"user data padded to 32 octets", [](StationValues& s) { s.user_data = "ring 7"; },
       {1, 2, 1, 6, 1},
       MibValue{MibValue::Type::kOctets, 0, std::string("ring 7") + std::string(26, '\0')}},
      {"MAC path primary(4)", [](StationValues&) {}, {2, 2, 1, 8, 1, 1}, Int(4)},
      {"downstream type a(1)", [](StationValues&) {}, {2, 2, 1, 15, 1, 1}, Int(1)},
      {"downstream type past m is none(5)",
       [](StationValues& s) { s.downstream_port_type = 9; }, {2, 2, 1, 15, 1, 1}, Int(5)},
      {"SMT address", [](StationValues&) {}, {2, 2, 1, 16, 1, 1},
       MibValue{MibValue::Type::kOctets, 0, std::string("\xAA\x00\x04\x00\x33\x0C", 6)}},
      {"T-Req in nanoseconds", [](StationValues&) {}, {2, 2, 1, 17, 1, 1}, Int(8000000)},
      {"TVX 2.5 ms", [](StationValues&) {}, {2, 2, 1, 20, 1, 1}, Int(2500000)},
      {"a time past FddiTimeNano", [](StationValues& s) { s.t_max = 26843546; },
       {2, 2, 1, 19, 1, 1}, std::nullopt},
      {"the largest time that fits", [](StationValues& s) { s.t_max = 26843545; },
       {2, 2, 1, 19, 1, 1}, Int(2147483600)},
      {"RMT ring_op is rm2(3)", [](StationValues&) {}, {2, 2, 1, 28, 1, 1}, Int(3)},
      {"tokens wrap as a Counter32", [](StationValues&) {}, {3, 1, 1, 1, 1, 1}, C32(5)},
      {"tokens not delivered", [](StationValues& s) { s.tokens.reset(); }, {3, 1, 1, 1, 1, 1},
       std::nullopt},
      {"Max T-Req bound", [](StationValues&) {}, {4, 2, 1, 5, 1, 1}, Int(8000000)},
      {"port 2 LER cutoff", [](StationValues& s) { s.ports[1].ler_cutoff = 9; },
       {5, 2, 1, 18, 1, 2}, Int(9)},
      {"LER estimate outside 4..15", [](StationValues& s) { s.ports[0].ler_estimate = 0; },
       {5, 2, 1, 15, 1, 1}, std::nullopt},
      {"port path thru is ce5(6)", [](StationValues&) {}, {5, 2, 1, 7, 1, 1}, Int(6)},
      {"PCM active is pc8(9)", [](StationValues&) {}, {5, 2, 1, 21, 1, 1}, Int(9)},
      {"LEM counts", [](StationValues&) {}, {5, 2, 1, 17, 1, 2}, C32(1432)},
      {"a single port has no second row",
       [](StationValues& s) { s.port_count = 1; }, {5, 2, 1, 2, 1, 2}, std::nullopt},
      {"port count unknown: no port rows", [](StationValues& s) { s.port_count = 0; },
       {5, 2, 1, 1, 1, 1}, std::nullopt},
      {"PATH configuration: port 2 at token order 3", [](StationValues&) {},
       {4, 3, 1, 5, 1, 1, 3}, Int(2)},
      {"station id: two zero octets, then the station record's address",
       [](StationValues& s) { s.station_address = MacAddress{8, 0, 0x2B, 0x36, 0x45, 0xD7}; },
       {1, 2, 1, 2, 1},
       MibValue{MibValue::Type::kOctets, 0, std::string("\0\0\x08\x00\x2B\x36\x45\xD7", 8)}},
      {"station id without a station record", [](StationValues&) {}, {1, 2, 1, 2, 1},
       std::nullopt},
      {"MAC count", [](StationValues& s) { s.mac_cts = 1; }, {1, 2, 1, 8, 1}, Int(1)},
      {"non-master ports beyond 2", [](StationValues& s) { s.non_master_cts = 3; },
       {1, 2, 1, 9, 1}, std::nullopt},
      {"no master port", [](StationValues& s) { s.master_cts = 0; }, {1, 2, 1, 10, 1}, Int(0)},
      {"frames: copied, in error and lost for want of a buffer",
       [](StationValues& s) {
         s.frames_received_ok = 10;
         s.receive_errors = 2;
         s.no_buffer_errors = 3;
       },
       {2, 2, 1, 21, 1, 1}, C32(15)},
      {"frames wrap as a Counter32",
       [](StationValues& s) {
         s.frames_received_ok = 0xFFFFFFFF;
         s.receive_errors = 2;
         s.no_buffer_errors = 0;
       },
       {2, 2, 1, 21, 1, 1}, C32(1)},
      {"frames need all three counts",
       [](StationValues& s) {
         s.frames_received_ok = 10;
         s.receive_errors = 2;
       },
       {2, 2, 1, 21, 1, 1}, std::nullopt},
      {"copied frames", [](StationValues& s) { s.frames_received_ok = 10; }, {2, 2, 1, 22, 1, 1},
       C32(10)},
      {"transmitted frames", [](StationValues& s) { s.frames_transmitted_ok = 7; },
       {2, 2, 1, 23, 1, 1}, C32(7)},
      {"no primary path: no PATH row", [](StationValues& s) { s.available_paths = 2; },
       {4, 2, 1, 3, 1, 1}, std::nullopt},
      {"no primary path: no PATH configuration", [](StationValues& s) { s.available_paths = 6; },
       {4, 3, 1, 1, 1, 1, 1}, std::nullopt},
      {"available paths unknown: the PATH row stays",
       [](StationValues& s) { s.available_paths.reset(); }, {4, 2, 1, 5, 1, 1}, Int(8000000)},
      {"PATH configuration: a resource without a path is not listed",
       [](StationValues& s) { s.ports[1].current_path.reset(); }, {4, 3, 1, 4, 1, 1, 3},
       std::nullopt},
  };
  for (const CodingCase& c : cases) {
    StationValues s = FullStation();
    c.change(s);
    const StationValues stations[] = {s};
    const MibView view = BuildFddiMibView(stations);
    const MibValue* got = Lookup(view, c.oid);
    if (c.expected) {
      ASSERT_NE(got, nullptr) << c.what;
      EXPECT_EQ(*got, *c.expected) << c.what;
    } else {
      EXPECT_EQ(got, nullptr) << c.what;
    }
  }
}

TEST(FddiMibTest, ScalarsCountStationsAndPorts) {
  StationValues one_port = FullStation();
  one_port.port_count = 1;
  StationValues secondary_only = FullStation();
  secondary_only.available_paths = 2;
  const StationValues stations[] = {FullStation(), one_port, secondary_only};
  const MibView view = BuildFddiMibView(stations);
  EXPECT_EQ(*Lookup(view, {1, 1, 0}), Int(3));
  EXPECT_EQ(*Lookup(view, {2, 1, 0}), Int(3));
  EXPECT_EQ(*Lookup(view, {4, 1, 0}), Int(2));  // the PATH rows served
  EXPECT_EQ(*Lookup(view, {5, 1, 0}), Int(5));
  EXPECT_EQ(*Lookup(view, {1, 2, 1, 1, 2}), Int(2));  // SMT index = adapter number
}

TEST(FddiMibTest, NextWalksInOidOrderAcrossTablesAndStations) {
  const StationValues stations[] = {FullStation(), FullStation()};
  const MibView view = BuildFddiMibView(stations);
  // From before the subtree to its first object; columns before rows.
  EXPECT_EQ(view.Next({})->oid, (OidSuffix{1, 1, 0}));
  EXPECT_EQ(view.Next(OidSuffix{1, 2, 1, 1, 2})->oid, (OidSuffix{1, 2, 1, 3, 1}));
  // A prefix of an instance comes before it; a column past the last of a
  // table jumps to the next group.
  EXPECT_EQ(view.Next(OidSuffix{2, 2, 1, 9})->oid, (OidSuffix{2, 2, 1, 9, 1, 1}));
  EXPECT_EQ(view.Next(OidSuffix{2, 2, 1, 29})->oid, (OidSuffix{3, 1, 1, 1, 1, 1}));
  EXPECT_EQ(view.Next(view.entries().back().oid), nullptr);
  for (size_t i = 1; i < view.entries().size(); ++i) {
    EXPECT_EQ(view.Next(view.entries()[i - 1].oid), &view.entries()[i]);
  }
}

TEST(FddiMibTest, ObjectsCarryThePagesSnmpCaptions) {
  const struct {
    OidSuffix instance;
    const char* name;
    SetTarget target;
  } cases[] = {
      {{1, 2, 1, 2, 1}, "fddimibSMTStationId", SetTarget::kNone},
      {{1, 2, 1, 10, 1}, "fddimibSMTMasterCts", SetTarget::kNone},
      {{1, 2, 1, 14, 1}, "fddimibSMTConnectionPolicy", SetTarget::kConnectionPolicy},
      {{1, 2, 1, 19, 1}, "fddimibSMTECMState", SetTarget::kNone},
      {{2, 2, 1, 15, 1, 1}, "fddimibMACDownstreamPORTType", SetTarget::kNone},
      {{2, 2, 1, 20, 1, 1}, "fddimibMACTvxValue", SetTarget::kNone},
      {{2, 2, 1, 23, 1, 1}, "fddimibMACTransmitCts", SetTarget::kNone},
      {{3, 1, 1, 1, 1, 1}, "fddimibMACTokenCts", SetTarget::kNone},
      {{4, 2, 1, 3, 1, 1}, "fddimibPATHTVXLowerBound", SetTarget::kTvxLowerBound},
      {{4, 2, 1, 4, 1, 1}, "fddimibPATHTMaxLowerBound", SetTarget::kTMaxLowerBound},
      {{4, 2, 1, 5, 1, 1}, "fddimibPATHMaxTReq", SetTarget::kMaxTReq},
      {{5, 2, 1, 14, 1, 1}, "fddimibPORTLCTFailCts", SetTarget::kNone},
      {{5, 2, 1, 18, 1, 1}, "fddimibPORTLerCutoff", SetTarget::kLerCutoff},
      {{5, 2, 1, 19, 1, 2}, "fddimibPORTLerAlarm", SetTarget::kLerAlarm},
  };
  for (const auto& c : cases) {
    const MibColumn* column = ColumnOf(c.instance);
    ASSERT_NE(column, nullptr) << c.name;
    EXPECT_STREQ(column->name, c.name);
    EXPECT_EQ(column->target, c.target) << c.name;
  }
  EXPECT_EQ(ColumnOf(OidSuffix{1, 2, 1, 99, 1}), nullptr);
  EXPECT_EQ(ColumnOf(OidSuffix{1, 2, 1, 14}), nullptr);  // a column is not an instance
}

}  // namespace
}  // namespace quivera
