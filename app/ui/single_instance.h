// One copy of the windowed program per user. The first copy listens on a
// local socket named after the main window class "QVFDDI" and the user id; a
// later copy finds it there, asks it to come to the front and ends.
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

  // Looks for a running copy. When one answers, asks it to come to the front
  // and returns false: this copy should end. Otherwise starts listening (a
  // name left behind by a copy that died is taken over) and returns true.
  // Also returns true when listening fails for another reason: a second
  // window is better than no window.
  bool Claim();

  // True while this copy listens for later copies.
  bool IsListening() const;

 signals:
  // A later copy asked this one to come to the front.
  void activationRequested();

 private:
  void OnNewConnection();

  QString name_;
  QLocalServer* server_ = nullptr;
};

// Brings 'main_window' to the front: restores it when minimised, raises and
// activates it, and does the same for the modal dialog it shows, if any.
void BringToFront(class QWidget* main_window);

}  // namespace quivera
