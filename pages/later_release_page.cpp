// The notice page of management areas this release does not show yet.
#include "pages/later_release_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "pages/page_layout_logic.h"
#include "pages/page_support.h"

namespace quivera {

LaterReleasePage::LaterReleasePage(const QString& title, QWidget* parent) : PropertyPage(parent) {
  setWindowTitle(title);
  notice_ = new QLabel(
      QStringLiteral("The %1 page is built in a later release of QUIVERA/FDDI.").arg(title), this);
  notice_->setAlignment(Qt::AlignCenter);
  notice_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(notice_);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);
}

// Nothing is shown yet, so there is nothing to read, print or clear.
void LaterReleasePage::Refresh(int /*reload*/, int /*show*/) {}
void LaterReleasePage::Print(PrintSurface& /*surface*/, int /*part*/) {}
void LaterReleasePage::ClearCounters() {}

}  // namespace quivera
