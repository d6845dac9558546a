// Fuzz target: the text of a station file, for the devices korap1 and
// korae2. An accepted file is applied to one station per device.
//
// Beyond the sanitizers it checks that a refused file names the file in its
// message and that the station takes every entry the parser accepted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/station.h"
#include "emulator/station_file.h"
#include "fuzz/fuzz_adapters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quivera;
  static const std::vector<std::string> kDevices = {"korap1", "korae2"};
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<StationFileEntry> entries;
  std::string error;
  if (!ParseStationFile(text, "fuzz.ini", kDevices, &entries, &error)) {
    if (error.rfind("fuzz.ini:", 0) != 0) FuzzFail("refusal without the file name");
    return 0;
  }
  Station stations[2];
  for (const StationFileEntry& entry : entries) {
    Station& station = stations[entry.device == kDevices[0] ? 0 : 1];
    if (entry.device != kDevices[0] && entry.device != kDevices[1]) {
      FuzzFail("entry for a device not served");
    }
    if (ApplyStationEntry(entry, station) != 0) FuzzFail("accepted entry refused by the station");
  }
  return 0;
}
