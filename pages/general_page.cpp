// The General page: controls, refresh from the adapter, clearing and print.
#include "pages/general_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <ctime>

#include "adapter/adapter_list.h"
#include "dialogs/ui_text.h"
#include "pages/page_layout_logic.h"
#include "pages/page_support.h"
#include "pages/value_field_width.h"
#include "present/firmware_revision.h"
#include "present/print_frame.h"
#include "present/value_texts.h"

namespace quivera {

namespace {

// The adapter texts fit in buffers of this size, their NUL included.
constexpr size_t kAdapterTextSize = 32;

// Printed positions, in twips.
constexpr int kStatisticsBox[] = {600, -1440, 7000, -3510};
constexpr int kFilterBox[] = {7720, -1440, 10600, -3060};
constexpr int kDescriptionBox[] = {600, -4200, 10000, -5620};
constexpr int kStatisticsCaptionX = 720;
constexpr int kFilterCaptionX = 7840;
constexpr int kDescriptionCaptionX = 720;
constexpr int kLabelX = 720;
constexpr int kStatisticValueX = 5220;
constexpr int kFilterTextX = 8200;
constexpr int kDescriptionValueX = 5040;

// Reads an adapter text item; false (and 'text' untouched) when unavailable.
bool ReadText(AdapterList& adapters, ManagementItem item, std::string* text) {
  char buffer[kAdapterTextSize] = {};
  size_t length = sizeof buffer;
  if (adapters.GetItem(item, buffer, &length) != 0) return false;
  *text = AdapterText(buffer, length < sizeof buffer ? length : sizeof buffer);
  return true;
}

}  // namespace

CGeneralPage::CGeneralPage(AdapterList& adapters, QWidget* parent)
    : PropertyPage(parent), adapters_(adapters) {
  setWindowTitle(QStringLiteral("General"));

  auto* statistics = new QGroupBox(QStringLiteral("General Statistics"), this);
  auto* statistics_grid = new QGridLayout(statistics);
  const auto rows = GeneralStatistics();
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    statistics_grid->addWidget(new QLabel(QString::fromLatin1(rows[i].label), statistics), row, 0);
    statistic_fields_[i] = MakeValueField(statistics, Qt::AlignRight | Qt::AlignVCenter);
    FitFieldTo(statistic_fields_[i], NumberTextSamples(10, false));  // 32-bit counts
    statistics_grid->addWidget(statistic_fields_[i], row, 1);
  }
  statistics_grid->setColumnStretch(0, 1);

  auto* filter = new QGroupBox(QStringLiteral("Receive Filter"), this);
  auto* filter_column = new QVBoxLayout(filter);
  const auto bits = ReceiveFilterBits();
  for (size_t i = 0; i < filter_boxes_.size() && i < bits.size(); ++i) {
    filter_boxes_[i] = new QCheckBox(QString::fromLatin1(bits[i].text), filter);
    filter_column->addWidget(filter_boxes_[i]);
    const int row = static_cast<int>(i);
    connect(filter_boxes_[i], &QCheckBox::clicked, this,
            [this, row](bool checked) { OnFilterClicked(row, checked); });
  }
  filter_column->addStretch(1);

  auto* description = new QGroupBox(QStringLiteral("Adapter Description"), this);
  auto* description_grid = new QGridLayout(description);
  device_name_field_ = MakeValueField(description);
  vendor_field_ = MakeValueField(description);
  firmware_field_ = MakeValueField(description);
  const std::pair<const char*, QLabel*> description_rows[] = {
      {"Device Name", device_name_field_},
      {"Hardware Description", vendor_field_},
      {"Firmware Version", firmware_field_},
  };
  int row = 0;
  for (const auto& [label, field] : description_rows) {
    description_grid->addWidget(new QLabel(QString::fromLatin1(label), description), row, 0);
    description_grid->addWidget(field, row, 1);
    ++row;
  }
  description_grid->setColumnStretch(1, 1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(statistics, 0, 0);
  layout->addWidget(filter, 0, 1);
  layout->addWidget(description, 1, 0, 1, 2);
  layout->setRowStretch(2, 1);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);
}

QLabel* CGeneralPage::statisticField(int row) const {
  return row >= 0 && static_cast<size_t>(row) < statistic_fields_.size()
             ? statistic_fields_[static_cast<size_t>(row)]
             : nullptr;
}

QCheckBox* CGeneralPage::filterBox(int row) const {
  return row >= 0 && static_cast<size_t>(row) < filter_boxes_.size()
             ? filter_boxes_[static_cast<size_t>(row)]
             : nullptr;
}

void CGeneralPage::Refresh(int /*reload*/, int show) {
  if (shown_adapter_.Switched(adapters_)) {
    // Another adapter's values: none of them may stay under this one.
    for (std::string* text : {&device_name_, &vendor_description_, &firmware_revision_}) {
      text->clear();
    }
    for (QLabel* field : {device_name_field_, vendor_field_, firmware_field_}) field->clear();
    for (std::string& text : statistic_texts_) text.clear();
    for (QLabel* field : statistic_fields_) field->clear();
    filter_flags_ = {};
    filter_texts_.clear();
    ShowFilterFlags();
  }
  if (ReadText(adapters_, ManagementItem::DeviceName, &device_name_) && show != 0) {
    device_name_field_->setText(ToQString(device_name_));
  }
  if (ReadText(adapters_, ManagementItem::VendorDescription, &vendor_description_) && show != 0) {
    vendor_field_->setText(ToQString(vendor_description_));
  }

  if (ReadFirmwareRevision(adapters_.Current(), &firmware_revision_)) {
    if (show != 0) firmware_field_->setText(ToQString(firmware_revision_));
  }

  const auto rows = GeneralStatistics();
  for (size_t i = 0; i < rows.size(); ++i) {
    uint32_t value = 0;
    if (GetU32(adapters_, rows[i].item, &value) != 0) continue;
    const uint32_t since = CountSinceClear(value, baselines_[i]);
    statistic_texts_[i] = std::to_string(since);
    if (show != 0) {
      shown_[i] = since;
      statistic_fields_[i]->setText(QString::number(since));
    }
  }

  uint32_t filter = 0;
  if (GetU32(adapters_, ManagementItem::ReceiveFilter, &filter) == 0) {
    filter_flags_ = ReceiveFilterFlagsFor(filter);
    filter_texts_.clear();
    for (const char* text : ReceiveFilterTexts(filter)) filter_texts_.emplace_back(text);
  }
  if (show != 0) ShowFilterFlags();
}

void CGeneralPage::ClearCounters() {
  for (size_t i = 0; i < baselines_.size(); ++i) {
    baselines_[i] = BaselineAfterClear(baselines_[i], shown_[i]);
  }
  Refresh(1, 1);
}

void CGeneralPage::Print(PrintSurface& surface, int /*part*/) {
  PrintFrame frame(surface, kGeneralPrintTitle, std::time(nullptr));
  const int lh = frame.LineHeight();

  frame.Box(kStatisticsBox[0], kStatisticsBox[1], kStatisticsBox[2], kStatisticsBox[3],
            "General Statistics", kStatisticsCaptionX);
  const int first_line = kStatisticsBox[1] + kBoxCaptionRise - lh;
  int y = first_line;
  const auto rows = GeneralStatistics();
  for (size_t i = 0; i < rows.size(); ++i) {
    frame.Text(kLabelX, y, rows[i].label);
    frame.Text(kStatisticValueX, y, statistic_texts_[i]);
    y -= lh;
  }

  frame.Box(kFilterBox[0], kFilterBox[1], kFilterBox[2], kFilterBox[3],
            "Receive Filter:", kFilterCaptionX);
  frame.Lines(kFilterTextX, first_line, filter_texts_);

  frame.Box(kDescriptionBox[0], kDescriptionBox[1], kDescriptionBox[2], kDescriptionBox[3],
            "Adapter Description", kDescriptionCaptionX);
  y = kDescriptionBox[1] + kBoxCaptionRise - 2 * lh;
  const std::pair<const char*, const std::string*> description[] = {
      {"Device Name", &device_name_},
      {"Device Description", &vendor_description_},
      {"Firmware Version", &firmware_revision_},
  };
  for (const auto& [label, text] : description) {
    frame.Text(kLabelX, y, label);
    frame.Text(kDescriptionValueX, y, *text);
    y -= lh;
  }
}

void CGeneralPage::OnFilterClicked(int row, bool checked) {
  // The filter is the driver's: a click only toggled the box, so put it back.
  filter_boxes_[static_cast<size_t>(row)]->setChecked(!checked);
}

void CGeneralPage::ShowFilterFlags() {
  for (size_t i = 0; i < filter_boxes_.size(); ++i) {
    if (filter_boxes_[i] != nullptr) filter_boxes_[i]->setChecked(filter_flags_[i]);
  }
}

}  // namespace quivera
