// The window's watch on the stop signals.
#include "app/ui/windowed_signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>

namespace quivera {

WindowedStopSignals::WindowedStopSignals(int signal_fd, std::function<void()> stop,
                                         QObject* parent)
    : QObject(parent), fd_(signal_fd), stop_(std::move(stop)) {
  if (fd_ < 0) return;
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &WindowedStopSignals::OnReadable);
}

WindowedStopSignals::~WindowedStopSignals() = default;

void WindowedStopSignals::OnReadable() {
  // Read every signal waiting, so that the descriptor is quiet again.
  for (;;) {
    signalfd_siginfo info{};
    const ssize_t got = read(fd_, &info, sizeof info);
    if (got == static_cast<ssize_t>(sizeof info)) {
      ++received_;
      if (stop_) stop_();
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    return;  // EAGAIN: nothing more waiting
  }
}

void CloseForStop(QWidget* frame, int retry_ms) {
  if (frame == nullptr) {
    QApplication::quit();
    return;
  }
  if (frame->close()) {
    QApplication::quit();
    return;
  }
  // Refused for now: ask again later, for as long as the frame lives.
  QPointer<QWidget> later(frame);
  QTimer::singleShot(retry_ms, frame, [later, retry_ms] {
    if (later) CloseForStop(later, retry_ms);
  });
}

}  // namespace quivera
