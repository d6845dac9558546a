// Single instance over a per-user local socket.
#include "app/ui/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

namespace quivera {

namespace {

// What a later copy sends; anything else on the socket is ignored.
constexpr char kActivate[] = "activate\n";
// How long a later copy waits for the first to answer when there is no lock
// to tell whether it lives; a copy that takes longer is taken for dead.
constexpr int kConnectTimeoutMs = 1000;
// How long a later copy waits for a first copy that holds the lock (and so
// is alive) to start listening.
constexpr int kStartingCopyWaitMs = 5000;
constexpr int kRetryMs = 50;

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(name.isEmpty() ? DefaultName() : std::move(name)) {}

SingleInstance::~SingleInstance() {
  delete server_;
  server_ = nullptr;
  // Closing releases the lock. The file stays: removing it could let a copy
  // that already opened it and a newer one lock two different files.
  if (lock_fd_ >= 0) close(lock_fd_);
}

QString SingleInstance::DefaultName() {
  return QStringLiteral("QVFDDI-%1").arg(static_cast<qulonglong>(getuid()));
}

QString SingleInstance::LockPath(const QString& name) {
  // Beside the socket: a plain name lives in the temporary folder.
  const QString socket =
      name.contains(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name;
  return socket + QStringLiteral(".lock");
}

bool SingleInstance::AskRunningCopy(int wait_ms) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    QLocalSocket probe;
    probe.connectToServer(name_, QIODevice::WriteOnly);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
      probe.write(kActivate, sizeof(kActivate) - 1);
      probe.waitForBytesWritten(kConnectTimeoutMs);
      probe.disconnectFromServer();
      return true;
    }
    if (waited.elapsed() + kRetryMs >= wait_ms) return false;
    QThread::msleep(kRetryMs);
  }
}

bool SingleInstance::Claim() {
  const QByteArray lock_path = QFile::encodeName(LockPath(name_));
  lock_fd_ = open(lock_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd_ >= 0 && flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
    // Another copy holds the lock, so it runs, though it may still be
    // starting: give it time to listen, and end either way.
    close(lock_fd_);
    lock_fd_ = -1;
    AskRunningCopy(kStartingCopyWaitMs);
    return false;
  }
  if (lock_fd_ < 0 && AskRunningCopy(0)) return false;

  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // This copy holds the lock (or there is none), so the name is a leftover
    // of a copy that died.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return true;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  return true;
}

bool SingleInstance::IsListening() const { return server_ != nullptr && server_->isListening(); }

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto read = [this, socket] {
      if (!socket->canReadLine()) return;
      if (socket->readLine() == QByteArray(kActivate)) emit activationRequested();
      socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    read();  // the request may have arrived with the connection
  }
}

void BringToFront(QWidget* main_window) {
  // While start-up still runs the main window is hidden: only its messages
  // come forward.
  if (main_window != nullptr && main_window->isVisible()) {
    if (main_window->isMinimized()) {
      main_window->setWindowState(main_window->windowState() & ~Qt::WindowMinimized);
    }
    main_window->raise();
    main_window->activateWindow();
  }
  if (QWidget* modal = QApplication::activeModalWidget();
      modal != nullptr && modal != main_window) {
    modal->raise();
    modal->activateWindow();
  }
}

}  // namespace quivera
