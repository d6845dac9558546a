// Message boxes, file dialogs, progress and wait cursor over Qt widgets.
#include "dialogs/qt_ui_services.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
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
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::None:
      break;
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

// The dialog's entry for 'filter': Qt takes the patterns from the
// parentheses of the text, so a name that does not show its pattern gets it
// appended. "*.*" means every file here, also one without a point.
QString FilterEntry(const FileFilter& filter) {
  QString pattern = ToQString(filter.pattern);
  if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  QString name = ToQString(filter.name);
  const QString shown = QStringLiteral("(%1)").arg(ToQString(filter.pattern));
  if (name.endsWith(shown)) name.chop(shown.size());
  name = name.trimmed();
  return QStringLiteral("%1 (%2)").arg(name.isEmpty() ? ToQString(filter.pattern) : name, pattern);
}

QStringList FilterEntries(const FileChoice& choice) {
  QStringList entries;
  for (const FileFilter& filter : choice.filters) entries << FilterEntry(filter);
  return entries;
}

// Runs a file dialog set up by 'configure'; the chosen path, empty when
// cancelled.
template <class Configure>
QString RunFileDialog(QWidget* parent, const FileChoice& choice, Configure configure) {
  QFileDialog dialog(parent, ToQString(choice.title));
  const QStringList filters = FilterEntries(choice);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  // Patterns such as FWSC*.FWI also find fwsc310.fwi.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  configure(dialog);
  if (dialog.exec() != QDialog::Accepted) return QString();
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.front();
}

}  // namespace

QtUiServices::QtUiServices(QWidget* main_window) : main_window_(main_window) {}

QtUiServices::~QtUiServices() {
  ProgressEnd();
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

bool QtUiServices::OpenFileName(const FileChoice& choice, std::string* path) {
  const QString chosen = RunFileDialog(Parent(), choice, [](QFileDialog& dialog) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  });
  if (chosen.isEmpty()) return false;
  *path = chosen.toLocal8Bit().toStdString();
  return true;
}

bool QtUiServices::SaveFileName(const FileChoice& choice, std::string* path) {
  const QString chosen = RunFileDialog(Parent(), choice, [&choice](QFileDialog& dialog) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(ToQString(choice.default_extension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  });
  if (chosen.isEmpty()) return false;
  *path = chosen.toLocal8Bit().toStdString();
  return true;
}

void QtUiServices::ProgressBegin(const std::string& title) {
  ProgressEnd();
  auto* window = new QWidget(main_window_.data(), Qt::Tool | Qt::WindowTitleHint);
  window->setObjectName(QStringLiteral("ProgressWindow"));
  window->setWindowTitle(ToQString(title));
  window->setAttribute(Qt::WA_ShowWithoutActivating);
  auto* layout = new QVBoxLayout(window);
  progress_text_ = new QLabel(window);
  progress_text_->setMinimumWidth(280);
  progress_bar_ = new QProgressBar(window);
  progress_bar_->setRange(0, 100);
  progress_bar_->setValue(0);
  layout->addWidget(progress_text_);
  layout->addWidget(progress_bar_);
  progress_ = window;
  // Centred on the main window, where the user is looking.
  window->adjustSize();
  if (main_window_) {
    window->move(main_window_->frameGeometry().center() - window->rect().center());
  }
  // No events are run here: every progress call comes from the window's
  // own event loop (a download's poll, a command's forwarded call), and a
  // nested loop would let a timer open a modal dialog inside that call and
  // hold the caller until the dialog closes.
  progress_->show();
}

void QtUiServices::ProgressText(const std::string& text) {
  if (!progress_) return;
  // A line end at the end of the text adds nothing to a one-line label.
  QString shown = ToQString(text);
  while (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
  progress_text_->setText(shown);
}

void QtUiServices::ProgressStep(int percent) {
  if (!progress_) return;
  progress_bar_->setValue(std::clamp(percent, 0, 100));
}

void QtUiServices::ProgressEnd() {
  progress_text_ = nullptr;
  progress_bar_ = nullptr;
  delete progress_.data();
}

void QtUiServices::Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(std::max(ms, 0), &loop, &QEventLoop::quit);
  loop.exec();
}

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
