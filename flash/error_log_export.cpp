// The error-log export file.
#include "flash/error_log_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <span>

#include "adapter/adapter_list.h"
#include "flash/error_log_layout.h"
#include "flash/flash_reply.h"
#include "flash/hex_dump.h"
#include "present/firmware_revision.h"
#include "present/print_frame.h"
#include "present/ui_services.h"
#include "settings/regular_file.h"

namespace quivera {

namespace {

constexpr const char* kCaption = kMessageCaption;
constexpr char kLineEnd[] = "\r\n";

// The revision as the pages show it, or "?.??" when it cannot be read.
std::string RevisionText(AdapterHandle adapter) {
  std::string text;
  return ReadFirmwareRevision(adapter, &text) ? text : "?.??";
}

// A section: a line with one blank, then 'title' (when given), then the
// area's dump or its read-error lines.
void AppendDumpSection(std::string* out, AdapterHandle adapter, const char* title,
                       ManagementItem item, FlashDump dump, FlashReply* reply, TextLines* lines) {
  lines->Clear();
  lines->Append(" ");
  lines->Append(title);
  if (ReadFlashItem(adapter, item, 0, reply)) {
    dump(*lines, std::span<const uint8_t, kFlashReplySize>(*reply), DumpColumns::HexAndAscii,
         DumpOrder::Ascending, DumpGrouping::Bytes);
  } else {
    lines->Append("Hardware read error!");
    lines->Append(" ");
  }
  lines->AppendAllTo(out, kLineEnd);
}

// Writes all of 'text' to 'fd'; false when any write fails.
bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

std::string ErrorLogExportText(AdapterHandle adapter, std::time_t now) {
  std::string out;
  out += "Adapter Error Log";
  out += kLineEnd;
  out += "Firmware Revision = " + RevisionText(adapter);
  out += kLineEnd;
  out += PrintDateText(now);
  out += kLineEnd;

  // Kept off the stack: a line list is 12 KiB.
  auto reply = std::make_unique<FlashReply>();
  auto lines = std::make_unique<TextLines>();
  for (int entry = 0; entry < kErrorLogEntries; ++entry) {
    lines->Clear();
    lines->Append(" ");
    AppendErrorLogEntryLines(adapter, entry, true, reply.get(), *lines);
    lines->AppendAllTo(&out, kLineEnd);
  }
  AppendDumpSection(&out, adapter, "Driver Parameters", ManagementItem::DriverParameters,
                    FormatDriverParametersDump, reply.get(), lines.get());
  AppendDumpSection(&out, adapter, "Serial Number", ManagementItem::SerialNumber,
                    FormatSerialNumberDump, reply.get(), lines.get());
  return out;
}

bool ExportErrorLogCommand(AdapterList& adapters, UiServices& ui) {
  AdapterHandle adapter = adapters.Current();
  const FileChoice choice{
      "Save As", {{"Exported Error Logs", "*.FWD"}, {"All Files", "*.*"}}, "FWD"};
  std::string path;
  if (!ui.SaveFileName(choice, &path)) return false;

  // Opened without waiting: a FIFO chosen as the target must not hold the
  // window, and a device must not be written to.
  RegularFileRefusal refusal;
  const int fd = OpenRegularFile(path, O_WRONLY | O_CREAT, &refusal);
  if (fd < 0) {
    ui.Message(refusal == RegularFileRefusal::kNotRegular ? kOutputNotRegularText
                                                          : kUnableToOpenOutputText,
               kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return false;
  }
  const std::string text = ErrorLogExportText(adapter, std::time(nullptr));
  bool written = ftruncate(fd, 0) == 0 && WriteAll(fd, text);
  // A full disk may only show when the file is closed.
  written = close(fd) == 0 && written;
  if (!written) {
    ui.Message(kUnableToWriteOutputText, kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return false;
  }
  return true;
}

}  // namespace quivera
