// The process-wide settings and the two values the hypertext server shares
// with the view.
#include "app/settings.h"

namespace quivera {

std::atomic<uint32_t> ServerAccessCount{0};
std::atomic<bool> RemoteSetDone{false};

Settings& AppSettings() {
  static Settings settings;
  return settings;
}

void ResetSettings() {
  Settings& s = AppSettings();
  s.RefreshRate = 1;
  s.MGTSetOperations = 1;
  s.PhysicalAddrFormat = 0;
  s.SNMPLabels = 1;
  s.TranslateAddr = 0;
  s.RingOpWarning = 0;
  s.ActivePage = 0;
  s.TestMode = 0;
  s.WebPortID = 80;
  s.WebServerEnable = 1;
  s.ClearFlash = 0;
  s.AnyOldDriver = 0;
  s.Registration.clear();
}

}  // namespace quivera
