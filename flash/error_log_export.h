// "&Export Error Log...": the adapter's firmware revision, its four flash
// error-log entries, the driver parameters and the serial-number area written
// to a text file in the flash layouts, each line ended by CR LF.
#pragma once

#include <ctime>
#include <string>

namespace quivera {

class AdapterList;
class AdapterHandle;
class UiServices;

inline constexpr char kUnableToOpenOutputText[] = "Unable to open output file.";
inline constexpr char kUnableToWriteOutputText[] = "Unable to write output file.";

// The file's whole text for 'adapter' at local time 'now': the header lines,
// then one section per error-log entry, the driver parameters and the serial
// number, each section starting with a line holding one blank. An area that
// cannot be read stands as its "Hardware read error" line.
std::string ErrorLogExportText(AdapterHandle adapter, std::time_t now);

// The command on the current adapter: the save dialog ("Exported Error Logs"
// *.FWD, "All Files" *.*, default extension FWD), then the file. A file that
// cannot be created gives "Unable to open output file.", one whose writing
// fails (disk full) "Unable to write output file." (stop icon both); a
// written file gets no message. Returns true when the file was written.
bool ExportErrorLogCommand(AdapterList& adapters, UiServices& ui);

}  // namespace quivera
