// Fuzz target: one request as the hypertext server receives it (the bytes of
// one receive, at most 512), through the request-line parser, the answer
// header and the answer body (adapter choice, page dispatch, the page) over
// the fuzz adapter list, with management sets disabled as shipped.
//
// Beyond the sanitizers it checks that the URL handed on is upper-case and no
// longer than the request, and that with sets disabled nothing is written to
// the station and no set is recorded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "adapter/management_request.h"
#include "fuzz/fuzz_adapters.h"
#include "settings/settings.h"
#include "web/http_response.h"
#include "web/page_dispatch.h"
#include "web/server_counters.h"

namespace {

// What one receive of the server delivers at most.
constexpr size_t kRequestBytes = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quivera;
  if (size > kRequestBytes) return 0;
  ResetSettings();
  RemoteSetDone = false;
  FuzzAdapters fuzz;

  const HttpRequestLine line =
      ParseRequestLine(std::string_view(reinterpret_cast<const char*>(data), size));
  if (line.method.size() + line.url.size() + line.version.size() > size) {
    FuzzFail("request line pieces longer than the request");
  }
  for (char c : line.url) {
    if (c >= 'a' && c <= 'z') FuzzFail("URL not upper-cased");
  }

  std::string answer = BuildOkHeader("QUIVERA/FDDI", 0);
  fuzz.adapters.BeginRefresh();
  // The program's own guard over the default settings: sets are disabled.
  RemoteClient client;
  client.sets_allowed = [] { return SetOperationsAllowed(); };
  answer += BuildAnswerBody(line.url, fuzz.adapters, fuzz.last_port_shown, fuzz.facts, client);

  if (fuzz.station_log->CountCode(kCodeSetAttributes) != 0 ||
      fuzz.station_log->CountOid(kOidAdapterControl) != 0) {
    FuzzFail("station written to while sets are disabled");
  }
  if (RemoteSetDone) FuzzFail("set recorded while sets are disabled");
  return 0;
}
