// Single instance over a per-user local socket.
#include "app/ui/single_instance.h"

#include <unistd.h>

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace quivera {

namespace {

// What a later copy sends; anything else on the socket is ignored.
constexpr char kActivate[] = "activate\n";
// How long a later copy waits for the first to answer; a copy that takes
// longer is taken for dead.
constexpr int kConnectTimeoutMs = 1000;

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(name.isEmpty() ? DefaultName() : std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultName() {
  return QStringLiteral("QVFDDI-%1").arg(static_cast<qulonglong>(getuid()));
}

bool SingleInstance::Claim() {
  {
    QLocalSocket probe;
    probe.connectToServer(name_, QIODevice::WriteOnly);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
      probe.write(kActivate, sizeof(kActivate) - 1);
      probe.waitForBytesWritten(kConnectTimeoutMs);
      probe.disconnectFromServer();
      return false;
    }
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // Nobody answered, so the name is a leftover of a copy that died.
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
