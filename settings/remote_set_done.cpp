#include "settings/remote_set_done.h"

namespace quivera {

std::atomic<bool> RemoteSetDone{false};

}  // namespace quivera
