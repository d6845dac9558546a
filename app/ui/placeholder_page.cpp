// The stand-in page.
#include "app/ui/placeholder_page.h"

#include <QLabel>
#include <QVBoxLayout>
#include <ctime>

#include "app/ui/page_factory.h"
#include "present/print_frame.h"

namespace quivera {

namespace {

const char* PrintTitle(int index) {
  switch (index) {
    case kGeneralSheet:
      return kGeneralPrintTitle;
    case kSmtSheet:
      return kSmtPrintTitle;
    case kMacSheet:
      return kMacPrintTitle;
    case kMacCountersSheet:
      return kMacCountersPrintTitle;
    case kPathSheet:
      return kPathPrintTitle;
    case kFlashSheet:
      return kFlashPrintTitle;
    case kPort0Sheet:
    case kPort1Sheet:
      return kPortPrintTitle;
    default:
      return "";
  }
}

}  // namespace

CPlaceholderPage::CPlaceholderPage(AdapterList& /*adapters*/, int sheet_index, QWidget* parent)
    : PropertyPage(parent), sheet_index_(sheet_index) {
  auto* text = new QLabel(QStringLiteral("The %1 page is not available in this build.")
                              .arg(QString::fromLatin1(SheetTabTitle(sheet_index))));
  text->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
}

void CPlaceholderPage::Refresh(int /*reload*/, int /*show*/) {}

void CPlaceholderPage::Print(PrintSurface& surface, int /*part*/) {
  if (sheet_index_ == kPort0Sheet || sheet_index_ == kPort1Sheet) {
    PrintFrame frame(surface, kPortPrintTitle, SheetTabTitle(sheet_index_), std::time(nullptr));
    return;
  }
  PrintFrame frame(surface, PrintTitle(sheet_index_), std::time(nullptr));
}

}  // namespace quivera
