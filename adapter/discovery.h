// Finding the adapters: the platform verdict, the enumeration of the
// candidate driver devices into an AdapterList (or the three simulated
// adapters of test mode), and the driver-version pass the start-up runs
// before it lets the program go on.
#pragma once

#include <array>
#include <string>

#include "adapter/adapter_list.h"
#include "adapter/driver_channel.h"

namespace quivera {

// Platform verdicts.
inline constexpr int kPlatformSupported = 1;  // use the driver
inline constexpr int kPlatformTestMode = 2;   // use simulated adapters
inline constexpr int kPlatformUnsupported = 3;

// 2 in test mode; otherwise 1, since this platform is the supported one.
int CheckPlatform(bool test_mode);

// The driver devices tried, in order: "\Device\korae1".."\Device\korae9"
// (EISA), then "\Device\korap1".."\Device\korap9" (PCI).
inline constexpr int kCandidateCount = 18;
const std::array<std::string, kCandidateCount>& CandidateDevicePaths();

// The DOS name of the adapter added as number 'ordinal' (0-based):
// "QVAdapterA", "QVAdapterB", ...
std::string DosDeviceName(int ordinal);

// Fills 'list'. In test mode appends three SimulatedAdapters and never calls
// 'open'. Otherwise opens every candidate in order; each one that opens
// becomes a DriverAdapter under the next DOS name, its station record is
// initialised (the result does not matter) and it is appended. A candidate
// that fails to open consumes no letter. Once the list holds its sixteen
// adapters, a further candidate that opens is closed again and not added.
void Discover(AdapterList& list, const ChannelOpener& open, bool test_mode);
// The same driven by a platform verdict: the enumeration for
// kPlatformSupported, the simulated adapters for kPlatformTestMode, nothing
// for any other verdict.
void Discover(AdapterList& list, int verdict, const ChannelOpener& open);

// The start-up's driver-version pass: makes adapters 1..count current in
// turn and asks CheckDriverVersion; with 'accept_any_driver' ("AnyOldDriver"
// set by hand) it asks nothing and accepts every driver. Returns the 0-based index of the first
// adapter whose driver is too old, with its DeviceName (read into a 32-byte
// buffer; empty when unreadable) in *device_name; or -1 when every driver is
// accepted (*device_name untouched). '*not_answering' (when given) says
// whether that driver gave no answer in time rather than an old version or a
// refusal. The adapter that was current before is current again afterwards,
// whatever the outcome.
int FindOutdatedDriver(AdapterList& list, std::string* device_name, bool accept_any_driver,
                       bool* not_answering = nullptr);

}  // namespace quivera
