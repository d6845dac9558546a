// Turning a failed system call into a message the user can read.
#include "settings/result.h"

#include <cstring>

namespace quivera {

Result ErrnoResult(const std::string& context, int error_number) {
  return Result::Error(context + ": " + std::strerror(error_number));
}

}  // namespace quivera
