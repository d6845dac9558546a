// Template sizing and value fields of the property pages.
#include "pages/page_support.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QWidget>
#include <cstdint>
#include <span>

#include "adapter/adapter_list.h"
#include "pages/page_layout_logic.h"
#include "present/counter64.h"

namespace quivera {

namespace {

// The template size of 'page' in its font, grown where its layout needs more.
QSize TemplateSize(QWidget* page, int width_units, int height_units) {
  const QFontMetrics metrics(page->font());
  DialogBaseUnits base;
  base.x = BaseUnitXFromAlphabetWidth(metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")));
  base.y = metrics.height();
  QSize size(DialogUnitsToPixelsX(width_units, base), DialogUnitsToPixelsY(height_units, base));
  if (page->layout() != nullptr) size = size.expandedTo(page->layout()->sizeHint());
  return size;
}

}  // namespace

void FixPageSize(QWidget* page, int width_units, int height_units) {
  page->setFixedSize(TemplateSize(page, width_units, height_units));
}

void MinimumPageSize(QWidget* page, int width_units, int height_units) {
  page->setMinimumSize(TemplateSize(page, width_units, height_units));
  page->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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

bool ShownAdapter::Switched(const AdapterList& adapters) {
  const int current = adapters.CurrentIndex();
  if (current == index_) return false;
  index_ = current;
  return true;
}

bool ReadCounter(AdapterList& adapters, ManagementItem item, Counter64* counter, int index) {
  uint8_t bytes[8] = {};
  size_t length = sizeof bytes;
  if (adapters.GetItem(item, bytes, &length, index) != 0 || length != sizeof bytes) return false;
  counter->SetFromItemBytes(std::span<const uint8_t, 8>(bytes));
  return true;
}

}  // namespace quivera
