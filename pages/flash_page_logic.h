// The Flash page's rules that need no window: which option groups each
// object shows, which option buttons refill the list, the lines of the list
// for the options chosen, and the lines of the five printed flash sheets.
#pragma once

#include <string>

#include "flash/hex_dump.h"
#include "flash/text_lines.h"

namespace quivera {

class AdapterList;

// The object the list shows, in the order of the "Select Object" buttons.
enum class FlashObject { DriverPrivate = 0, SerialNumber = 1, ErrorLog = 2 };

// The options of the page's five radio groups.
struct FlashOptions {
  FlashObject object = FlashObject::DriverPrivate;
  int entry = 0;       // "0" .. "3" of the "Error Log" group
  bool ascii = false;  // "Ascii" rather than "Hex"
  DumpOrder order = DumpOrder::Ascending;  // "Little Endian" is Descending
  DumpGrouping grouping = DumpGrouping::Bytes;
};

// The groups below "Select Object" that are shown (and enabled) for an
// object: the error-log entry and data format for the error log; data
// format, organisation and size for the two dumps.
struct FlashGroups {
  bool entry = false;
  bool format = false;
  bool organization = false;
  bool size = false;
};
FlashGroups FlashGroupsFor(FlashObject object);

// The option groups whose buttons may refill the list.
enum class FlashOptionGroup { Object, Entry, Format, Organization, Size };

// True when a click on a button of 'group' refills the list while 'selected'
// is the object chosen: an object button and "Hex" / "Ascii" always; an
// entry button only for the error log; order and size buttons only for the
// two dumps.
bool FlashOptionRefills(FlashOptionGroup group, FlashObject selected);

// The firmware revision as the page keeps it: "Unknown" until a read
// succeeds, then that adapter's text until the current adapter changes.
class FirmwareRevisionCache {
 public:
  // The text for the adapter now current: read when not read yet for it
  // (a failed read keeps the earlier text and is tried again next time).
  const std::string& Get(AdapterList& adapters);
  // Forgets the text: the next Get reads again and "Unknown" stands until a
  // read succeeds.
  void Forget();
  const std::string& text() const { return text_; }

 private:
  std::string text_ = "Unknown";
  bool read_ = false;
};

// Empties 'lines' and fills them for 'options': the object's title, the
// "Firmware Revision = " line with 'revision', a single-space line, then the
// entry or the dump of the object, or its read-error line and a
// single-space line when it cannot be read.
void FillFlashLines(AdapterList& adapters, const FlashOptions& options,
                    const std::string& revision, TextLines* lines);

// The first and last sheet numbers of the flash sheets of the print job.
inline constexpr int kFirstFlashSheet = 6;
inline constexpr int kLastFlashSheet = 10;

// Empties 'lines' and fills them with the text of flash sheet 'part': 6 the
// driver parameters and the serial number (hex and characters, ascending
// longwords), with one empty line between the two; 7 .. 10 error-log entry
// part - 7 in full. Nothing for any other part.
void FlashSheetLines(AdapterList& adapters, int part, const std::string& revision,
                     TextLines* lines);

// Where printed line 'index' of a flash sheet goes: lines up to the
// 73rd (index 72) in the first column, the rest in a second column that
// starts at the height of line index 13.
struct FlashPrintPlace {
  int column;  // 0 or 1
  int row;     // line steps below the first line
};
FlashPrintPlace FlashSheetPlace(int index);

}  // namespace quivera
