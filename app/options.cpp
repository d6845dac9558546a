// The command-line table and its parser.
#include "app/options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "settings/settings.h"

namespace quivera {
namespace {

struct OptionDef {
  const char* flag;
  const char* value_name;      // null: the option takes no value
  std::string Options::*text;  // where a value goes
  bool Options::*on;           // what a flag sets
  const char* help;
  bool value_optional = false;  // the flag may carry a value after '=' only
};

const std::array<OptionDef, 7> kOptions = {{
    {"--settings", "FILE", &Options::settings_path, nullptr,
     "settings file (default $XDG_CONFIG_HOME/quivera/quivera.ini)"},
    {"--test-mode", nullptr, nullptr, &Options::test_mode,
     "run on three simulated adapters, without any driver"},
    {"--headless", nullptr, nullptr, &Options::headless, "run without windows until interrupted"},
    {"--device-dir", "DIR", &Options::device_dir, nullptr,
     "folder holding the adapters' driver devices (default /dev)"},
    {"--agentx", "SOCKET", &Options::agentx_socket, &Options::agentx,
     "serve the FDDI MIB through the SNMP master agent (default: its socket)",
     true},
    {"--metrics", "[ADDRESS:]PORT", &Options::metrics, nullptr,
     "serve Prometheus metrics at /metrics on PORT (all addresses unless ADDRESS)"},
    {"--change-log", "FILE", &Options::change_log, nullptr,
     "also append the record of adapter changes to FILE"},
}};

const OptionDef* FindOption(std::string_view flag) {
  for (const OptionDef& def : kOptions) {
    if (flag == def.flag) return &def;
  }
  return nullptr;
}

}  // namespace

ParseOutcome ParseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
  *options = Options{};
  bool settings_given = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view word = argv[i] ? argv[i] : "";
    if (word == "--help" || word == "-h") return ParseOutcome::kHelp;

    std::string_view flag = word;
    std::optional<std::string_view> attached;
    if (size_t equals = word.find('='); word.starts_with("--") && equals != word.npos) {
      flag = word.substr(0, equals);
      attached = word.substr(equals + 1);
    }
    const OptionDef* def = FindOption(flag);
    if (!def) {
      *error = "unknown option '" + std::string(word) + "'";
      return ParseOutcome::kUsageError;
    }
    if (def->value_optional) {
      options->*(def->on) = true;
      if (attached) {
        if (attached->empty()) {
          *error = "option '" + std::string(flag) + "' needs a non-empty " + def->value_name;
          return ParseOutcome::kUsageError;
        }
        options->*(def->text) = std::string(*attached);
      }
      continue;
    }
    if (!def->value_name) {
      if (attached) {
        *error = "option '" + std::string(flag) + "' takes no value";
        return ParseOutcome::kUsageError;
      }
      options->*(def->on) = true;
      continue;
    }
    std::string_view value;
    if (attached) {
      value = *attached;
    } else if (i + 1 < argc && argv[i + 1]) {
      value = argv[++i];
    } else {
      *error = "option '" + std::string(flag) + "' needs a value " + def->value_name;
      return ParseOutcome::kUsageError;
    }
    if (value.empty()) {
      *error = "option '" + std::string(flag) + "' needs a non-empty " + def->value_name;
      return ParseOutcome::kUsageError;
    }
    options->*(def->text) = std::string(value);
    if (def->text == &Options::settings_path) settings_given = true;
  }
  if (!settings_given) options->settings_path = DefaultSettingsPath();
  if (!options->metrics.empty() &&
      !ParseMetricsAddress(options->metrics, &options->metrics_address, error)) {
    *error = "option '--metrics': " + *error;
    return ParseOutcome::kUsageError;
  }
  return ParseOutcome::kRun;
}

namespace {

// An option as the usage shows it: "--flag", "--flag VALUE" or "--flag[=VALUE]".
std::string OptionForm(const OptionDef& def) {
  std::string form = def.flag;
  if (def.value_optional) {
    form += std::string("[=") + def.value_name + "]";
  } else if (def.value_name) {
    form += std::string(" ") + def.value_name;
  }
  return form;
}

}  // namespace

std::string UsageLine() {
  std::string line = "usage: quivera";
  for (const OptionDef& def : kOptions) line += " [" + OptionForm(def) + "]";
  return line;
}

std::string UsageText(bool windowed) {
  auto row = [](std::string left, const char* help) {
    left.resize(std::max<size_t>(left.size(), 21), ' ');
    return "  " + left + " " + help + "\n";
  };
  std::string text = UsageLine() + "\n\n";
  for (const OptionDef& def : kOptions) text += row(OptionForm(def), def.help);
  text += row("--help", "print this text and stop");
  text += windowed ? "\nWithout --headless the program opens its main window.\n"
                   : "\nThis build has no windows: the program always runs as with --headless.\n";
  return text;
}

}  // namespace quivera
