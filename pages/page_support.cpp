// Template sizing and value fields of the property pages.
#include "pages/page_support.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QWidget>

#include "pages/page_layout_logic.h"

namespace quivera {

void FixPageSize(QWidget* page, int width_units, int height_units) {
  const QFontMetrics metrics(page->font());
  DialogBaseUnits base;
  base.x = BaseUnitXFromAlphabetWidth(metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")));
  base.y = metrics.height();
  QSize size(DialogUnitsToPixelsX(width_units, base), DialogUnitsToPixelsY(height_units, base));
  if (page->layout() != nullptr) size = size.expandedTo(page->layout()->sizeHint());
  page->setFixedSize(size);
}

QLabel* MakeValueField(QWidget* parent, Qt::Alignment alignment) {
  auto* field = new QLabel(parent);
  field->setFrameShape(QFrame::Panel);
  field->setFrameShadow(QFrame::Sunken);
  field->setAlignment(alignment);
  field->setTextInteractionFlags(Qt::TextSelectableByMouse);
  field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
  return field;
}

}  // namespace quivera
