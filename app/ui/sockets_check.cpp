// The start-up check of the sockets interface.
#include "app/ui/sockets_check.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "present/ui_services.h"

namespace quivera {

bool CanCreateTcpSocket() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool CheckSockets(UiServices& ui, const std::function<bool()>& probe) {
  const bool ok = probe ? probe() : CanCreateTcpSocket();
  if (!ok) {
    ui.Message(kSocketsUnavailableText, "QUIVERA/FDDI", MessageButtons::Ok, MessageIcon::Warning);
  }
  return ok;
}

}  // namespace quivera
