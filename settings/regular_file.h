// Opening a file named from outside (a settings file, a firmware image, an
// export target) without ever waiting on it: a FIFO, a terminal or a device
// with that name would hold the calling thread in open() or read() until a
// writer turned up. Only a regular file is kept.
#pragma once

#include <sys/types.h>

#include <string>

namespace quivera {

enum class RegularFileRefusal {
  kNone,        // opened: a regular file
  kCannotOpen,  // no such file, no permission, ... (errno tells which)
  kNotRegular,  // a FIFO, a device, a folder, a socket
};

// Opens 'path' with 'flags' (O_RDONLY, or O_WRONLY | O_CREAT to make a new
// file with 'mode'), never blocking in the open itself, and keeps the
// descriptor only when it refers to a regular file. Never truncates: a
// caller that replaces the content truncates after this check, so a device
// or a FIFO is never touched. Returns the descriptor (close-on-exec, back in
// blocking mode), or -1 with '*refusal' saying why; errno is kept from the
// failing call.
int OpenRegularFile(const std::string& path, int flags, RegularFileRefusal* refusal,
                    mode_t mode = 0666);

}  // namespace quivera
