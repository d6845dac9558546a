// "&Firmware Upgrade": which image files fit the current adapter, the checks
// on the chosen file's name, the revision question and the download with its
// five steps. Plain code over UiServices: every question, message, progress
// line and pause goes through it, so the flow runs the same in the window,
// without one and in tests.
#pragma once

#include <string>

#include "present/ui_services.h"

namespace quivera {

class AdapterList;
class AdapterHandle;

// Texts of the flow, as the user sees them.
inline constexpr char kNoKnownFirmwareText[] =
    "Error - No known firmware\nfiles for this adapter.\nUpgrade process terminated...";
inline constexpr char kInvalidExtensionText[] = "Invalid file extension! Process terminated...";
inline constexpr char kInvalidNameText[] = "Invalid file name! Process terminated...";
inline constexpr char kNotCompatibleText[] =
    "Your firmware image is not compatible with the current adapter. Cannot upgrade!";
inline constexpr char kClassicOnlyText[] =
    "Your firmware image is for Classic board only. Cannot upgrade!";
inline constexpr char kUpgradeQuestionText[] = "Upgrade! Are you sure?";
inline constexpr char kDowngradeQuestionText[] =
    "The current firmware revision is greater than the input revision. Do you want to "
    "downgrade anyway?";
inline constexpr char kSameRevisionQuestionText[] =
    "The current firmware revision is equal to the input revision. Do you want to upgrade "
    "anyway?";
inline constexpr char kInitializationFailedText[] = "Initialization failed!";
inline constexpr char kLoadFailedText[] = "Load image failed!";
inline constexpr char kBlastFailedText[] = "Blast failed!";
inline constexpr char kUpgradeProgressTitle[] = "Firmware Upgrade Process";
inline constexpr char kProcessCompletedText[] = "Process is completed!";
// Files above this size cannot hold an image worth reading.
inline constexpr size_t kFirmwareFileLimit = 16u << 20;
inline constexpr char kFileTooLargeText[] =
    "The firmware image file is too large. Process terminated...";

// What the preparation learned about the adapter.
struct FirmwareTarget {
  bool pci = false;         // model word "korap", any case
  int board_revision = 0;   // the EISA adapter's FirmwareStatus answer; 0 for PCI
  bool revision_known = false;
  double current_revision = 0;  // FirmwareRevision as a number, when known
};

// The model word of a DeviceName ("\Device\korap1" gives "korap"): the first
// five of its last six characters (fewer when the name is shorter).
std::string ModelWord(const std::string& device_name);

// A revision text as a number, as the C library's text-to-number conversion
// reads it in the C locale ("3.10" gives 3.1; text that starts with no number
// gives 0).
double RevisionNumber(const std::string& text);

// The file dialog's one filter for 'target' ("KORAP (FWSC*.FWI)", ...);
// false when no image family fits it (EISA board revision other than 1..3).
bool FirmwareFilter(const FirmwareTarget& target, FileFilter* filter);

// The verdict of the checks on a chosen file name (its folder removed).
struct FirmwareNameVerdict {
  enum class Action { kRefuse, kAsk, kDownload };
  Action action = Action::kRefuse;
  std::string message;                   // kRefuse: the text; kAsk: the question
  MessageIcon icon = MessageIcon::None;  // kRefuse: the box's icon
};

// The checks in their order: prefix, extension, board and model, then the
// revision question (any letter case). 'target' says what the adapter is.
FirmwareNameVerdict CheckFirmwareName(const std::string& file_name, const FirmwareTarget& target);

// The question comparing the file's revision (from its name) with the
// adapter's; the upgrade question when the adapter's revision is unknown.
std::string RevisionQuestion(const std::string& file_name, const FirmwareTarget& target);

// Reads the image file at 'path' and runs the five steps on 'adapter' with
// their progress texts, positions and pauses. A file that cannot be opened
// ends silently; a file refused by the image reader, or too large to read,
// ends with its message (stop icon) before anything reaches the adapter.
// Returns true when the process completed.
bool DownloadFirmware(const std::string& path, AdapterHandle adapter, UiServices& ui);

// The whole command for the current adapter. Returns true when an image was
// downloaded to completion.
bool FirmwareUpgradeCommand(AdapterList& adapters, UiServices& ui);

}  // namespace quivera
