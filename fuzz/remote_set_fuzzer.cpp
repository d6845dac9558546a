// Fuzz target: the remote-set forms. The first byte picks the adapter that is
// current when the request comes (0..2, the emulated station is 1) and the
// port whose page was shown last; the rest is the URL a browser sends,
// upper-cased as the server does. Management sets are enabled, so the adapter
// choice, the form values, their range checks and the writes all run.
//
// Beyond the sanitizers it checks, on the emulated station, that a path-timer
// or LER set whose values fail their range check writes nothing, and that a
// connection policy written by a form always rejects M-M connections.
#include <cstddef>
#include <cstdint>
#include <string>

#include "adapter/management_request.h"
#include "fuzz/fuzz_adapters.h"
#include "present/connection_policy.h"
#include "present/ler_limits.h"
#include "present/path_timers.h"
#include "web/page_dispatch.h"
#include "web/remote_sets.h"
#include "web/server_counters.h"

namespace {

constexpr size_t kRequestBytes = 512;
constexpr int kStationIndex = 1;  // the emulated station in the fuzz adapter list
constexpr size_t kMibConnectionPolicy = 0x64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quivera;
  if (size < 1 || size > kRequestBytes) return 0;
  RemoteSetDone = false;
  FuzzAdapters fuzz;
  fuzz.adapters.SetCurrent(data[0] % 3);
  fuzz.last_port_shown = (data[0] >> 2) & 1;
  const std::string url = UpperAscii(data + 1, size - 1);

  fuzz.adapters.BeginRefresh();
  ApplyAdapterChoice(url, fuzz.adapters);
  const bool on_station = fuzz.adapters.CurrentIndex() == kStationIndex;
  const RequestAction action = ChooseAction(url);
  RemoteClient client;
  client.sets_allowed = [] { return true; };
  const std::string body =
      BuildAnswerBody(url, fuzz.adapters, fuzz.last_port_shown, fuzz.facts, client);
  if (body.empty()) FuzzFail("empty answer");

  const int writes = fuzz.station_log->CountCode(kCodeSetAttributes);
  bool refused = false;
  if (action == RequestAction::kPathTimerSet) {
    refused = CheckPathTimers(QueryNumber(url, "TMAX="), QueryNumber(url, "TREQ="),
                              QueryNumber(url, "TVX=")) != nullptr;
  } else if (action == RequestAction::kLerSet) {
    refused = CheckLerLimits(QueryNumber(url, "LERCUTOFF="), QueryNumber(url, "LERALARM=")) !=
              nullptr;
  }
  if (refused && (writes != 0 || RemoteSetDone)) FuzzFail("refused set written");
  if (on_station && action == RequestAction::kConnectionPolicySet) {
    if (writes == 0) FuzzFail("connection policy not written");
    if ((fuzz.station->BlockU32(kCodeMib, kMibConnectionPolicy) & kRejectMToM) == 0) {
      FuzzFail("connection policy written without the M-M rejection");
    }
  }
  return 0;
}
