// The writable file name offered for printing to a file.
#include "app/ui/print_file.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>

namespace quivera {

namespace {

bool WritableFolder(const QString& folder) {
  if (folder.isEmpty() || !QDir(folder).exists()) return false;
  return access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

bool Inside(const QString& folder, const QString& home) {
  const QString cleaned_home = QDir::cleanPath(home);
  const QString cleaned = QDir::cleanPath(folder);
  return cleaned == cleaned_home || cleaned.startsWith(cleaned_home + QLatin1Char('/'));
}

}  // namespace

QString PrintFileFolder(const QString& home, const QString& current, const QString& temp) {
  if (Inside(current, home) && WritableFolder(current)) return QDir::cleanPath(current);
  if (WritableFolder(home)) return QDir::cleanPath(home);
  return QDir::cleanPath(temp);
}

QString SuggestedPrintFile() {
  return PrintFileFolder(QDir::homePath(), QDir::currentPath(), QDir::tempPath()) +
         QLatin1Char('/') + QLatin1String(kPrintFileName);
}

bool SuggestPrintFile(QPrintDialog& dialog) {
  // The dialog's own output file field.
  auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
  if (field == nullptr) return false;
  field->setText(SuggestedPrintFile());
  return true;
}

std::string PrintDoneText(const QPrinter& printer) {
  const QString file = printer.outputFileName();
  if (file.isEmpty()) return "Printing is sent to the default printer.";
  return "The printout was written to " + QFile::encodeName(file).toStdString() + ".";
}

}  // namespace quivera
