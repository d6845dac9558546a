// Which classes the Options menu's dialogs are.
#include "app/ui/dialog_factory.h"

namespace quivera {

DialogRunner DefaultPreferencesDialog() { return {}; }

DialogRunner DefaultWebServerDialog() { return {}; }

}  // namespace quivera
