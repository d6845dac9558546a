// Message boxes, file dialogs, progress and wait cursor over Qt widgets.
#include "dialogs/qt_ui_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <algorithm>

#include "dialogs/ui_text.h"

namespace quivera {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Stop:
      return QMessageBox::Critical;
    case MessageIcon::Warning:
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// "Firmware images (FWSA*.FWI)" style filter text from a bare pattern.
QString FilterText(const std::string& filter) {
  const QString pattern = ToQString(filter);
  if (pattern.isEmpty()) return QString();
  return QStringLiteral("%1;;All files (*)").arg(pattern);
}

}  // namespace

QtUiServices::QtUiServices(QWidget* main_window) : main_window_(main_window) {}

QtUiServices::~QtUiServices() {
  while (busy_depth_ > 0) Busy(false);
}

QWidget* QtUiServices::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return main_window_.data();
}

MessageAnswer QtUiServices::Message(const std::string& text, const std::string& caption,
                                    MessageButtons buttons, MessageIcon icon) {
  QMessageBox box(BoxIcon(icon), ToQString(caption), ToQString(text), BoxButtons(buttons),
                  Parent());
  // Yes/No questions default to No so that a stray Enter changes nothing.
  if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel) {
    box.setDefaultButton(QMessageBox::No);
  }
  // The wait cursor must not hide that the program waits for an answer.
  const bool restore_busy = busy_depth_ > 0;
  if (restore_busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int chosen = box.exec();
  if (restore_busy) QApplication::restoreOverrideCursor();
  switch (chosen) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return SafeAnswer(buttons);
  }
}

bool QtUiServices::OpenFileName(const std::string& title, const std::string& filter,
                                std::string* path) {
  const QString chosen =
      QFileDialog::getOpenFileName(Parent(), ToQString(title), QString(), FilterText(filter));
  if (chosen.isEmpty()) return false;
  *path = chosen.toLocal8Bit().toStdString();
  return true;
}

bool QtUiServices::SaveFileName(const std::string& title, const std::string& filter,
                                std::string* path) {
  const QString start = path->empty() ? QString() : QString::fromLocal8Bit(path->c_str());
  const QString chosen =
      QFileDialog::getSaveFileName(Parent(), ToQString(title), start, FilterText(filter));
  if (chosen.isEmpty()) return false;
  *path = chosen.toLocal8Bit().toStdString();
  return true;
}

void QtUiServices::ProgressBegin(const std::string& title) {
  progress_ = std::make_unique<QProgressDialog>(ToQString(title), QString(), 0, 100, Parent());
  progress_->setWindowTitle(QStringLiteral("QUIVERA/FDDI"));
  progress_->setWindowModality(Qt::ApplicationModal);
  progress_->setMinimumDuration(0);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  progress_->setValue(0);
  progress_->show();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUiServices::ProgressStep(int percent) {
  if (!progress_) return;
  progress_->setValue(std::clamp(percent, 0, 100));
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUiServices::ProgressEnd() { progress_.reset(); }

void QtUiServices::Busy(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busy_depth_;
  } else if (busy_depth_ > 0) {
    QApplication::restoreOverrideCursor();
    --busy_depth_;
  }
}

}  // namespace quivera
