// Non-blocking open of regular files.
#include "settings/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quivera {

int OpenRegularFile(const std::string& path, int flags, RegularFileRefusal* refusal, mode_t mode) {
  flags &= ~O_TRUNC;
  int fd;
  do {
    fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // A folder, or a FIFO nobody reads (opened for writing): not a file.
    *refusal = errno == EISDIR || errno == ENXIO ? RegularFileRefusal::kNotRegular
                                                 : RegularFileRefusal::kCannotOpen;
    return -1;
  }
  struct stat info {};
  const bool stated = fstat(fd, &info) == 0;
  if (!stated || !S_ISREG(info.st_mode)) {
    const int saved = stated ? EINVAL : errno;
    close(fd);
    errno = saved;
    *refusal = stated ? RegularFileRefusal::kNotRegular : RegularFileRefusal::kCannotOpen;
    return -1;
  }
  // A regular file never blocks; clearing the flag keeps later reads and
  // writes plain.
  const int status = fcntl(fd, F_GETFL);
  if (status >= 0) fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  *refusal = RegularFileRefusal::kNone;
  return fd;
}

}  // namespace quivera
