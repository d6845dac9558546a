#include "emulator/emulator_options.h"

#include <algorithm>
#include <charconv>

#include "emulator/default_station.h"

namespace quivera {

const char kEmulatorUsage[] =
    "usage: station-emulator --dir DIR [--station FILE] [--log FILE] [--delay MS] DEVICE...\n"
    "  Serves each DEVICE (korae1..korae9, korap1..korap9) as the socket DIR/DEVICE\n"
    "  until interrupted.\n"
    "  --station FILE  values to serve over the default content (INI, one section per DEVICE)\n"
    "  --log FILE      append one line per request received\n"
    "  --delay MS      answer each request MS milliseconds late (0..60000), as a slow driver\n";

namespace {
constexpr int kMaxDelayMs = 60000;

bool ParseDelay(const std::string& text, int* ms) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [at, failed] = std::from_chars(text.data(), end, value);
  if (failed != std::errc() || at != end || value < 0 || value > kMaxDelayMs) return false;
  *ms = value;
  return true;
}
}  // namespace

bool ParseEmulatorOptions(const std::vector<std::string>& args, EmulatorOptions* options,
                          std::string* error) {
  *options = EmulatorOptions{};
  struct Valued {
    const char* name;
    std::string* target;
  };
  std::string delay;
  const Valued valued[] = {{"--dir", &options->dir},
                           {"--station", &options->station_file},
                           {"--log", &options->log_file},
                           {"--delay", &delay}};
  bool options_done = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_done && arg == "--") {
      options_done = true;
      continue;
    }
    if (!options_done && arg == "--help") {
      options->help = true;
      return true;
    }
    if (!options_done && arg.size() > 1 && arg[0] == '-') {
      bool known = false;
      for (const Valued& option : valued) {
        const std::string name = option.name;
        if (arg == name) {
          if (i + 1 >= args.size()) {
            *error = "option " + name + " needs a value";
            return false;
          }
          *option.target = args[++i];
          known = true;
        } else if (arg.rfind(name + "=", 0) == 0) {
          *option.target = arg.substr(name.size() + 1);
          known = true;
        }
        if (known) {
          if (option.target->empty()) {
            *error = "option " + name + " needs a value";
            return false;
          }
          break;
        }
      }
      if (!known) {
        *error = "unknown option '" + arg + "'";
        return false;
      }
      continue;
    }
    if (!IsEmulatedDevice(arg)) {
      *error = "unknown device '" + arg + "' (expected korae1..korae9 or korap1..korap9)";
      return false;
    }
    if (std::find(options->devices.begin(), options->devices.end(), arg) !=
        options->devices.end()) {
      *error = "device '" + arg + "' named twice";
      return false;
    }
    options->devices.push_back(arg);
  }
  if (!delay.empty() && !ParseDelay(delay, &options->delay_ms)) {
    *error = "option --delay needs a number of milliseconds from 0 to 60000";
    return false;
  }
  if (options->dir.empty()) {
    *error = "missing --dir DIR";
    return false;
  }
  if (options->devices.empty()) {
    *error = "no DEVICE to serve";
    return false;
  }
  return true;
}

}  // namespace quivera
