// The change record's line and its sinks.
#include "adapter/change_record.h"

#include <cstring>
#include <mutex>
#include <utility>

#include "adapter/adapter_list.h"
#include "adapter/socket_driver_channel.h"

namespace quivera {
namespace {

std::mutex sinks_mutex;  // guards sinks and serialises the writes
std::vector<ChangeSink>& Sinks() {
  static std::vector<ChangeSink> sinks;
  return sinks;
}

const char* OriginText(ChangeOrigin origin) {
  switch (origin) {
    case ChangeOrigin::kWindow:
      return "window";
    case ChangeOrigin::kBrowser:
      return "browser";
    case ChangeOrigin::kSnmp:
      return "snmp";
  }
  return "unknown";
}

const char* OutcomeText(ChangeOutcome outcome) {
  switch (outcome) {
    case ChangeOutcome::kDone:
      return "done";
    case ChangeOutcome::kRefusedByGuard:
      return "refused: set operations disabled";
    case ChangeOutcome::kRefusedByAdapter:
      return "refused by the adapter";
    case ChangeOutcome::kFailed:
      return "failed";
  }
  return "unknown";
}

// A text from outside as one field of plain printable ASCII: control bytes,
// DEL, the backslash and every byte outside ASCII become \xHH, so a line can
// never be split, carry a terminal's escape sequence (C1 controls are bytes
// outside ASCII too), or be anything but valid UTF-8. A field holding a blank
// or a double quote is put in double quotes (its quotes escaped), so a value
// such as a file name can never forge the fields after it.
void AppendEscaped(std::string* out, const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  const bool quoted = text.find_first_of(" \"") != std::string::npos;
  if (quoted) out->push_back('"');
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F || c == '\\' || (quoted && c == '"')) {
      out->append("\\x");
      out->push_back(kHex[c >> 4]);
      out->push_back(kHex[c & 0xF]);
    } else {
      out->push_back(ch);
    }
  }
  if (quoted) out->push_back('"');
}

}  // namespace

std::string ChangeLine(const ChangeEntry& entry, std::time_t now) {
  std::tm utc{};
  gmtime_r(&now, &utc);
  char stamp[32];
  const size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
  std::string line(stamp, n);
  line.append(" origin=");
  line.append(OriginText(entry.origin));
  if (!entry.peer.empty()) {
    line.push_back('(');
    AppendEscaped(&line, entry.peer);
    line.push_back(')');
  }
  line.append(" adapter=");
  AppendEscaped(&line, entry.adapter);
  line.append(" change=");
  AppendEscaped(&line, entry.what);
  if (!entry.old_value.empty()) {
    line.append(" was=");
    AppendEscaped(&line, entry.old_value);
  }
  line.append(" outcome=");
  line.append(OutcomeText(entry.outcome));
  return line;
}

std::vector<ChangeSink> SetChangeSinks(std::vector<ChangeSink> sinks) {
  std::lock_guard<std::mutex> lock(sinks_mutex);
  std::swap(Sinks(), sinks);
  return sinks;
}

void RecordChange(const ChangeEntry& entry) {
  const std::string line = ChangeLine(entry, std::time(nullptr));
  std::lock_guard<std::mutex> lock(sinks_mutex);
  for (const ChangeSink& sink : Sinks()) sink(line);
}

std::string ChangeAdapterName(AdapterList& list, int index) {
  char path[128] = {};
  size_t length = sizeof path - 1;
  std::string name;
  if (list.WithAdapter(index, [&](Adapter& a) {
        return a.GetItem(ManagementItem::DeviceName, path, &length);
      }) == 0) {
    name = DeviceSocketName(std::string(path, strnlen(path, sizeof path - 1)));
  }
  if (name.empty()) name = "adapter " + std::to_string(index + 1);
  return name;
}

}  // namespace quivera
