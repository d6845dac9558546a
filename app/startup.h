// The start-up sequence shared by the windowed program and the headless run:
// platform check, adapter discovery, the refusals (no adapter, a driver too
// old), and the selection of adapter 1 with its first performance sample.
// Every refusal is shown through the UiServices with the stop icon and ends
// start-up with failure.
#pragma once

#include <functional>

#include "adapter/adapter_list.h"
#include "adapter/driver_channel.h"
#include "present/ui_services.h"

namespace quivera {

inline constexpr const char* kAppCaption = kMessageCaption;
inline constexpr char kDriverUpgradeCaption[] = "QUIVERA/FDDI - driver upgrade required";
inline constexpr char kPlatformNotSupported[] =
    "QUIVERA/FDDI is not supported on this operating system platform.";
inline constexpr char kNoAdapterFound[] = "Could Not Locate A Supported Adapter or Driver.";
// "%s" stands for the adapter's device name.
inline constexpr char kDriverTooOld[] =
    "QUIVERA/FDDI has detected an older version of the\ndriver for Marbeck FDDI adapter "
    "%s.\n\nPlease consult the on-line help or product release notes\nfor instructions on "
    "how to upgrade the driver.";

// "%s" stands for the adapter's device name.
inline constexpr char kDriverNotAnsweringText[] =
    "QUIVERA/FDDI got no answer from the driver for Marbeck FDDI adapter %s.\n\nThe driver "
    "may be stalled: check that it is loaded and working, then start QUIVERA/FDDI again.";

// Told the number of adapters found, so that the Adapter menu keeps only
// that many entries.
using AdapterMenuTrim = std::function<void(int count)>;

// Runs the sequence on the empty 'list': CheckPlatform; Discover (in test
// mode three simulated adapters and no driver channel; otherwise every
// candidate device opened through 'opener'); no adapter -> refusal; the menu
// trim (when given); each adapter's driver version in order, the first one
// too old -> refusal naming its device, or, when that driver gave no answer
// in time, the refusal saying so; then adapter 1 is current and has
// taken its first performance sample. Returns true on success. On failure
// the list keeps whatever was discovered.
bool RunStartupSequence(AdapterList& list, const ChannelOpener& opener, bool test_mode,
                        UiServices& ui, const AdapterMenuTrim& trim_adapter_menu);

// The driver-too-old message for the device 'device_name'.
std::string DriverTooOldMessage(const std::string& device_name);
// The message for the device 'device_name' whose driver did not answer.
std::string DriverNotAnsweringMessage(const std::string& device_name);

}  // namespace quivera
