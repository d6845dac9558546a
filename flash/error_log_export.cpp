// The error-log export file.
#include "flash/error_log_export.h"

#include <array>
#include <cstdio>
#include <memory>
#include <span>

#include "flash/error_log_layout.h"
#include "flash/flash_reply.h"
#include "flash/hex_dump.h"
#include "adapter/adapter_list.h"
#include "present/print_frame.h"
#include "present/ui_services.h"

namespace quivera {

namespace {

constexpr char kCaption[] = "QUIVERA/FDDI";
constexpr char kLineEnd[] = "\r\n";
constexpr size_t kRevisionBuffer = 32;


// "%c%c%c%c" of bytes 3, 2, 1, 0, or "?.??" when the revision cannot be read.
std::string RevisionText(AdapterHandle adapter) {
  std::array<uint8_t, kRevisionBuffer> revision{};
  size_t length = revision.size();
  if (adapter.GetItem(ManagementItem::FirmwareRevision, revision.data(), &length) != 0) {
    return "?.??";
  }
  return std::string{static_cast<char>(revision[3]), static_cast<char>(revision[2]),
                     static_cast<char>(revision[1]), static_cast<char>(revision[0])};
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

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

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

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    ui.Message(kUnableToOpenOutputText, kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return false;
  }
  const std::string text = ErrorLogExportText(adapter, std::time(nullptr));
  bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  written = std::fflush(file.get()) == 0 && written;
  // A full disk may only show when the file is closed.
  written = std::fclose(file.release()) == 0 && written;
  if (!written) {
    ui.Message(kUnableToWriteOutputText, kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return false;
  }
  return true;
}

}  // namespace quivera
