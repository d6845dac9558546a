// The change record's sinks.
#include "app/change_sinks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>

#include "app/console_ui_services.h"

namespace quivera {
namespace {

// The record file's descriptor, closed when the last sink holding it goes.
struct FileDescriptor {
  explicit FileDescriptor(int descriptor) : fd(descriptor) {}
  ~FileDescriptor() { ::close(fd); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int fd;
};

}  // namespace

SyslogWriter SystemSyslogWriter() {
  return [](int priority, const std::string& line) {
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog(kChangeLogIdentity, LOG_PID, LOG_DAEMON); });
    ::syslog(priority, "%s", line.c_str());
  };
}

ChangeSink SyslogChangeSink(SyslogWriter writer) {
  return [writer = std::move(writer)](const std::string& line) { writer(LOG_NOTICE, line); };
}

ChangeSink StreamChangeSink(std::FILE* stream) {
  return [stream](const std::string& line) {
    const std::string text = ConsoleMessageLine(line, kChangeCaption) + "\n";
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
  };
}

Result OpenChangeFileSink(const std::string& path, ChangeSink* sink) {
  const int fd = ::open(path.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0640);
  if (fd < 0) return ErrnoResult("The change record file " + path + " cannot be opened", errno);
  auto file = std::make_shared<FileDescriptor>(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return ErrnoResult("The change record file " + path + " cannot be examined", errno);
  }
  if (!S_ISREG(info.st_mode)) {
    return Result::Error("The change record file " + path + " is not a regular file");
  }
  *sink = [file](const std::string& line) {
    // One write per line: with O_APPEND, lines of another writer of the
    // same file never interleave with ours.
    const std::string text = line + "\n";
    size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(file->fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // a full disk loses the line, never the program
      done += static_cast<size_t>(n);
    }
  };
  return Result::Ok();
}

std::vector<ChangeSink> ProgramChangeSinks(SyslogWriter syslog, std::FILE* stream,
                                           const std::string& change_log, std::string* warning) {
  std::vector<ChangeSink> sinks;
  sinks.push_back(SyslogChangeSink(std::move(syslog)));
  if (stream != nullptr) sinks.push_back(StreamChangeSink(stream));
  if (!change_log.empty()) {
    ChangeSink file;
    const Result opened = OpenChangeFileSink(change_log, &file);
    if (opened.ok) {
      sinks.push_back(std::move(file));
    } else {
      *warning = opened.message;
    }
  }
  return sinks;
}

}  // namespace quivera
