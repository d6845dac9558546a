// The firmware upgrade command: guard, preparation, name checks, image checks.
#include "flash/firmware_upgrade.h"

#include "flash/command_change.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <utility>

#include "adapter/adapter.h"
#include "adapter/adapter_list.h"
#include "adapter/change_record.h"
#include "flash/srecord_image.h"
#include "present/firmware_revision.h"
#include "settings/ascii_case.h"
#include "settings/regular_file.h"

namespace quivera {

namespace {

constexpr const char* kCaption = kMessageCaption;
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

// The whole image file at 'path' into '*text'; nullptr, or the message that
// refuses it. The file is opened without waiting (a FIFO named like an image
// must not hold the window) and read only when it is a regular file.
const char* ReadImageFile(const std::string& path, std::string* text) {
  RegularFileRefusal refusal;
  const int fd = OpenRegularFile(path, O_RDONLY, &refusal);
  if (fd < 0) {
    return refusal == RegularFileRefusal::kNotRegular ? kImageNotRegularText
                                                      : kUnableToOpenImageText;
  }
  const char* refused = nullptr;
  char chunk[8192];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      refused = kUnableToReadImageText;
      break;
    }
    if (got == 0) break;
    if (text->size() + static_cast<size_t>(got) > kFirmwareFileLimit) {
      refused = kFileTooLargeText;
      break;
    }
    text->append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  return refused;
}

// Reads what the checks need from 'adapter'; '*revision' gets the adapter's
// revision text when it can be read.
FirmwareTarget Prepare(AdapterHandle adapter, std::string* revision) {
  FirmwareTarget target;
  if (ReadFirmwareRevision(adapter, revision)) {
    target.revision_known = true;
    target.current_revision = RevisionNumber(*revision);
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

std::unique_ptr<FirmwareDownload> StartFirmwareDownload(const std::string& path,
                                                        AdapterHandle adapter, UiServices& ui,
                                                        ChangeEntry change, DownloadPause pause) {
  ui.Busy(true);
  std::string text;
  if (const char* refused = ReadImageFile(path, &text)) {
    ui.Busy(false);
    ui.Message(refused, kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return nullptr;
  }
  ui.ProgressBegin(kUpgradeProgressTitle);
  ui.ProgressText("Formatting firmware image...\n");
  ui.ProgressStep(1);
  // Checked in full before the adapter hears of it.
  const SRecordImage image = ReadSRecordImage(text);
  if (!image.ok) {
    ui.ProgressEnd();
    ui.Busy(false);
    ui.Message(image.message, kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return nullptr;
  }
  return std::make_unique<FirmwareDownload>(adapter, FirmwareLoadRecord(image.bytes),
                                            std::move(change), std::move(pause));
}

std::unique_ptr<FirmwareDownload> FirmwareUpgradeCommand(AdapterList& adapters, UiServices& ui,
                                                         bool sets_allowed, DownloadPause pause) {
  // The adapter the user chose the command for, whatever becomes current
  // while the questions are open or the download runs.
  AdapterHandle adapter = adapters.Current();
  ChangeEntry change = WindowChange(adapters, adapter, "firmware");
  if (!sets_allowed) {
    RefuseBySetGuard(ui, change, kUpgradeRefusedText);
    return nullptr;
  }
  std::string current_revision;
  const FirmwareTarget target = Prepare(adapter, &current_revision);
  FileFilter filter;
  if (!FirmwareFilter(target, &filter)) {
    ui.Message(kNoKnownFirmwareText, kCaption, MessageButtons::Ok, MessageIcon::Stop);
    return nullptr;
  }
  std::string path;
  if (!ui.OpenFileName(FileChoice{"Open", {filter}, ""}, &path)) return nullptr;

  const std::string name = BaseName(path);
  const FirmwareNameVerdict verdict = CheckFirmwareName(name, target);
  switch (verdict.action) {
    case FirmwareNameVerdict::Action::kRefuse:
      ui.Message(verdict.message, kCaption, MessageButtons::Ok, verdict.icon);
      return nullptr;
    case FirmwareNameVerdict::Action::kAsk:
      if (ui.Message(verdict.message, kCaption, MessageButtons::YesNo, MessageIcon::Question) !=
          MessageAnswer::Yes) {
        return nullptr;
      }
      break;
    case FirmwareNameVerdict::Action::kDownload:
      break;
  }
  change.what = "firmware=" + path + ",revision=" + FileRevisionText(name);
  change.old_value = current_revision;
  return StartFirmwareDownload(path, adapter, ui, std::move(change), std::move(pause));
}

}  // namespace quivera
