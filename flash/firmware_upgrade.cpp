// The firmware upgrade command: preparation, name checks, download.
#include "flash/firmware_upgrade.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <memory>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/adapter_list.h"
#include "adapter/adapter_list.h"
#include "flash/srecord_image.h"
#include "present/firmware_revision.h"
#include "settings/ascii_case.h"

namespace quivera {

namespace {

constexpr char kCaption[] = "QUIVERA/FDDI";
constexpr int kStepPauseMs = 100;
constexpr int kResetSettleMs = 4000;
constexpr int kCompletedPauseMs = 400;
constexpr size_t kDeviceNameBuffer = 64;

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The revision written in an image file's name: character 5, a point,
// characters 6 and 7 ("FWSC310.FWI" gives "3.10").
std::string FileRevisionText(const std::string& name) {
  std::string text;
  if (name.size() > 4) text += name[4];
  text += '.';
  if (name.size() > 5) text += name[5];
  if (name.size() > 6) text += name[6];
  return text;
}

// The wait cursor for as long as the download runs, whichever way it ends.
class BusyCursor {
 public:
  explicit BusyCursor(UiServices& ui) : ui_(ui) { ui_.Busy(true); }
  ~BusyCursor() { ui_.Busy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  UiServices& ui_;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

enum class ReadResult { kRead, kTooLarge, kFailed };

// The whole of 'file', up to kFirmwareFileLimit bytes.
ReadResult ReadAll(std::FILE* file, std::string* text) {
  char chunk[8192];
  for (;;) {
    const size_t got = std::fread(chunk, 1, sizeof chunk, file);
    if (text->size() + got > kFirmwareFileLimit) return ReadResult::kTooLarge;
    text->append(chunk, got);
    if (got < sizeof chunk) return std::ferror(file) != 0 ? ReadResult::kFailed : ReadResult::kRead;
  }
}

// Shows 'text' on the progress window, then moves the bar to each position
// from 'first' to 'last', one every kStepPauseMs.
void Step(UiServices& ui, const char* text, int first, int last) {
  ui.ProgressText(text);
  for (int position = first; position <= last; ++position) {
    ui.Wait(kStepPauseMs);
    ui.ProgressStep(position);
  }
}

bool EndWith(UiServices& ui, const std::string& text, MessageIcon icon) {
  ui.ProgressEnd();
  ui.Message(text, kCaption, MessageButtons::Ok, icon);
  return false;
}

// Load or blast failed: the adapter is reset so that it runs on.
bool FailAndReset(UiServices& ui, AdapterHandle adapter, const char* text) {
  EndWith(ui, text, MessageIcon::None);
  adapter.Control(kControlReset);
  return false;
}

FirmwareTarget Prepare(AdapterHandle adapter) {
  FirmwareTarget target;
  std::string revision;
  if (ReadFirmwareRevision(adapter, &revision)) {
    target.revision_known = true;
    target.current_revision = RevisionNumber(revision);
  }
  char name[kDeviceNameBuffer] = {};
  size_t name_length = sizeof name - 1;  // keeps a NUL at the end
  if (adapter.GetItem(ManagementItem::DeviceName, name, &name_length) != 0) name[0] = '\0';
  target.pci = AsciiUpper(ModelWord(name)) == "KORAP";
  if (!target.pci) target.board_revision = adapter.FirmwareStatus();
  return target;
}

}  // namespace

std::string ModelWord(const std::string& device_name) {
  const std::string last_six =
      device_name.size() > 6 ? device_name.substr(device_name.size() - 6) : device_name;
  return last_six.substr(0, 5);
}

double RevisionNumber(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  if (start < text.size() && text[start] == '+') ++start;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), value,
                                            std::chars_format::general);
  (void)end;
  return error == std::errc() ? value : 0.0;
}

bool FirmwareFilter(const FirmwareTarget& target, FileFilter* filter) {
  if (target.pci) {
    *filter = {"KORAP (FWSC*.FWI)", "FWSC*.FWI"};
    return true;
  }
  switch (target.board_revision) {
    case 1:
      *filter = {"KORAE Rev1 (FWSA*.FWI)", "FWSA*.FWI"};
      return true;
    case 2:
      *filter = {"KORAE Rev2 (FWSB*.FWI)", "FWSB*.FWI"};
      return true;
    case 3:
      *filter = {"KORAE Rev3 (FWSC*.FWI)", "FWSC*.FWI"};
      return true;
    default:
      return false;
  }
}

std::string RevisionQuestion(const std::string& file_name, const FirmwareTarget& target) {
  const double file_revision = RevisionNumber(FileRevisionText(file_name));
  if (!target.revision_known || file_revision > target.current_revision) {
    return kUpgradeQuestionText;
  }
  if (file_revision < target.current_revision) return kDowngradeQuestionText;
  return kSameRevisionQuestionText;
}

FirmwareNameVerdict CheckFirmwareName(const std::string& file_name, const FirmwareTarget& target) {
  using Action = FirmwareNameVerdict::Action;
  const std::string name = AsciiUpper(file_name);
  const std::string prefix = name.substr(0, 4);
  const std::string extension = name.size() >= 3 ? name.substr(name.size() - 3) : name;
  const FirmwareNameVerdict bad_extension{Action::kRefuse, kInvalidExtensionText,
                                          MessageIcon::Stop};
  const FirmwareNameVerdict ask{Action::kAsk, RevisionQuestion(file_name, target),
                                MessageIcon::Question};
  if (prefix == "FWSB") {
    if (extension != "FWI") return bad_extension;
    if (target.board_revision == 2) return ask;
    return {Action::kRefuse, kNotCompatibleText, MessageIcon::None};
  }
  if (prefix == "FWSA") {
    if (extension != "FWI") return bad_extension;
    if (target.board_revision == 1) return {Action::kDownload, "", MessageIcon::None};
    return {Action::kRefuse, kClassicOnlyText, MessageIcon::None};
  }
  if (prefix == "FWSC") {
    if (extension != "FWI") return bad_extension;
    if (target.board_revision != 3 && !target.pci) {
      return {Action::kRefuse, kNotCompatibleText, MessageIcon::None};
    }
    return ask;
  }
  return {Action::kRefuse, kInvalidNameText, MessageIcon::Stop};
}

bool DownloadFirmware(const std::string& path, AdapterHandle adapter, UiServices& ui) {
  const BusyCursor busy(ui);
  // Closed on every way out, the failures included.
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;

  ui.ProgressBegin(kUpgradeProgressTitle);
  ui.ProgressText("Formatting firmware image...\n");
  ui.ProgressStep(1);
  std::string text;
  switch (ReadAll(file.get(), &text)) {
    case ReadResult::kRead:
      break;
    case ReadResult::kTooLarge:
      return EndWith(ui, kFileTooLargeText, MessageIcon::Stop);
    case ReadResult::kFailed:
      ui.ProgressEnd();
      return false;  // as a file that cannot be opened
  }
  // Checked in full before the adapter hears of it.
  const SRecordImage image = ReadSRecordImage(text);
  if (!image.ok) return EndWith(ui, image.message, MessageIcon::Stop);
  std::vector<uint8_t> record = FirmwareLoadRecord(image.bytes);

  Step(ui, "Adapter is initializing...", 2, 9);
  if (adapter.FirmwarePrepare() != 0) {
    return EndWith(ui, kInitializationFailedText, MessageIcon::None);
  }
  Step(ui, "Firmware image is being loaded...", 10, 29);
  if (adapter.FirmwareLoad(record.data(), record.size()) != 0) {
    return FailAndReset(ui, adapter, kLoadFailedText);
  }
  Step(ui, "Adapter is being blasted...", 30, 59);
  if (adapter.FirmwareCommit() != 0) return FailAndReset(ui, adapter, kBlastFailedText);
  Step(ui, "Adapter is being reset...", 60, 89);
  adapter.Control(kControlPostLoad);
  ui.Wait(kResetSettleMs);
  Step(ui, kProcessCompletedText, 90, 100);
  ui.Wait(kCompletedPauseMs);
  ui.ProgressEnd();
  return true;
}

bool FirmwareUpgradeCommand(AdapterList& adapters, UiServices& ui) {
  AdapterHandle adapter = adapters.Current();
  const FirmwareTarget target = Prepare(adapter);
  FileFilter filter;
  if (!FirmwareFilter(target, &filter)) {
    ui.Message(kNoKnownFirmwareText, kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return false;
  }
  std::string path;
  if (!ui.OpenFileName(FileChoice{"Open", {filter}, ""}, &path)) return false;

  const FirmwareNameVerdict verdict = CheckFirmwareName(BaseName(path), target);
  switch (verdict.action) {
    case FirmwareNameVerdict::Action::kRefuse:
      ui.Message(verdict.message, kCaption, MessageButtons::Ok, verdict.icon);
      return false;
    case FirmwareNameVerdict::Action::kAsk:
      if (ui.Message(verdict.message, kCaption, MessageButtons::YesNo, MessageIcon::Question) !=
          MessageAnswer::Yes) {
        return false;
      }
      break;
    case FirmwareNameVerdict::Action::kDownload:
      break;
  }
  return DownloadFirmware(path, adapter, ui);
}

}  // namespace quivera
