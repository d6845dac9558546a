// One copy of the windowed program per user. The first copy takes a lock
// (flock on '<socket>.lock' beside the local socket) and then listens on a
// local socket named after the main window class "QVFDDI" and the user id; a
// later copy finds the lock taken, asks the first through the socket to come
// to the front and ends. The lock makes the check atomic: of two copies
// started at the same moment exactly one runs, and a copy never removes the
// socket of one that is still starting up.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace quivera {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // 'name' is the local socket's name; empty means DefaultName().
  explicit SingleInstance(QString name = QString(), QObject* parent = nullptr);
  ~SingleInstance() override;

  // "QVFDDI-<user id>".
  static QString DefaultName();

  // Takes the lock. When another copy holds it, asks that copy to come to
  // the front (waiting a few seconds for it to listen) and returns false:
  // this copy should end. Otherwise starts listening (a socket left behind
  // by a copy that died is taken over) and returns true. When no lock file
  // can be made, the socket alone decides. Also returns true when listening
  // fails: a second window is better than no window.
  bool Claim();

  // The lock file of the socket 'name'.
  static QString LockPath(const QString& name);

  // True while this copy listens for later copies.
  bool IsListening() const;

 signals:
  // A later copy asked this one to come to the front.
  void activationRequested();

 private:
  void OnNewConnection();

  // Connects to the running copy and asks it to come forward, trying until
  // 'wait_ms' have passed. True when the request was delivered.
  bool AskRunningCopy(int wait_ms);

  QString name_;
  QLocalServer* server_ = nullptr;
  int lock_fd_ = -1;  // held for the life of this object
};

// Brings 'main_window' to the front: restores it when minimised, raises and
// activates it, and does the same for the modal dialog it shows, if any.
void BringToFront(class QWidget* main_window);

}  // namespace quivera
