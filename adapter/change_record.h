// The change record: one line for every request that writes to an adapter
// (connection policy, path timers, LER limits, reset, firmware upgrade, flash
// clearing), and for every such request the set-operations guard refused, so
// that a site can tell who changed what on which station.
//
// A line holds the time, the origin (the window; a browser and its address;
// an SNMP manager), the adapter's device name, what was asked (object and new
// value, the old value where it was read) and the outcome. Writers call
// RecordChange from any thread; the lines go to every sink installed with
// SetChangeSinks (syslog, standard error in the run without windows, a file,
// or a test's recorder). Texts from outside (an address, a file name) never
// reach a line with their control bytes.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace quivera {

class AdapterList;

enum class ChangeOrigin { kWindow, kBrowser, kSnmp };

enum class ChangeOutcome {
  kDone,              // the adapter took the change
  kRefusedByGuard,    // "MGTSetOperations" forbids sets: nothing was sent
  kRefusedByAdapter,  // the adapter answered that it did not take it
  kFailed,            // the request failed (no answer, broken exchange, check refused)
};

struct ChangeEntry {
  ChangeOrigin origin = ChangeOrigin::kWindow;
  std::string peer;       // the browser's address; empty for the other origins
  std::string adapter;    // the adapter's device name, e.g. "korae1"
  std::string what;       // object and new value, e.g. "fddimibSMTConnectionPolicy=32771"
  std::string old_value;  // the value read before the write; empty when not read
  ChangeOutcome outcome = ChangeOutcome::kDone;
};

// One line (no line end) as every sink receives it:
//   2026-12-11T01:07:12Z origin=browser(192.0.2.7) adapter=korae1
//   change=fddimibPORTLerCutoff[1]=5 outcome=refused: set operations disabled
// (on one line). Only printable ASCII: control bytes, the backslash and bytes
// outside ASCII of the outside texts are written \xHH, and a field holding a
// blank or a double quote is quoted.
std::string ChangeLine(const ChangeEntry& entry, std::time_t now);

// Where the lines go. Each sink gets the whole line; sinks are called one at
// a time, never concurrently.
using ChangeSink = std::function<void(const std::string& line)>;

// Replaces the sinks (none at start: nothing is recorded until the program
// installs its sinks). Returns the previous set, so a test can put it back.
std::vector<ChangeSink> SetChangeSinks(std::vector<ChangeSink> sinks);

// Writes one line for 'entry' to every sink, stamped with the current time.
void RecordChange(const ChangeEntry& entry);

// The device name of adapter 'index' for a line ("korae1" for
// "\Device\korae1"); "adapter N" (1-based) when it cannot be read.
std::string ChangeAdapterName(AdapterList& list, int index);

}  // namespace quivera
