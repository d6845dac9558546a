// The Performance page: three gauge groups and their refresh.
#include "pages/perform_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "adapter/adapter_list.h"
#include "pages/page_layout_logic.h"
#include "pages/page_support.h"
#include "pages/perform_page_logic.h"

namespace quivera {

namespace {

struct GaugeGroup {
  const char* title;
  std::array<const char*, 3> scale;
};

constexpr GaugeGroup kGroups[CPerformPage::kGauges] = {
    {"Fiber Utilization", {"0%", "50%", "100%"}},
    {"Port Utilization", {"0%", "50%", "100%"}},
    {"Frames Per Second", {"0", "50", "100"}},
};

constexpr Qt::Alignment kScaleAlignment[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};

}  // namespace

CPerformPage::CPerformPage(AdapterList& adapters, QWidget* parent)
    : PropertyPage(parent), adapters_(adapters) {
  setWindowTitle(QStringLiteral("Performance"));
  auto* layout = new QVBoxLayout(this);
  for (size_t g = 0; g < bars_.size(); ++g) {
    auto* group = new QGroupBox(QString::fromLatin1(kGroups[g].title), this);
    auto* grid = new QGridLayout(group);
    bars_[g] = new QProgressBar(group);
    bars_[g]->setRange(kGaugeMinimum, kGaugeMaximum);
    bars_[g]->setValue(kGaugeMinimum);
    bars_[g]->setTextVisible(false);
    values_[g] = new QLabel(QStringLiteral("0"), group);
    values_[g]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values_[g]->setMinimumWidth(values_[g]->fontMetrics().horizontalAdvance(QStringLiteral("0")) *
                                12);
    grid->addWidget(bars_[g], 0, 0, 1, 3);
    grid->addWidget(values_[g], 0, 3);
    for (size_t s = 0; s < 3; ++s) {
      scales_[g][s] = new QLabel(QString::fromLatin1(kGroups[g].scale[s]), group);
      grid->addWidget(scales_[g][s], 1, static_cast<int>(s), kScaleAlignment[s]);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    layout->addWidget(group);
  }
  layout->addStretch(1);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);
}

QProgressBar* CPerformPage::gaugeBar(int gauge) const {
  return gauge >= 0 && gauge < kGauges ? bars_[static_cast<size_t>(gauge)] : nullptr;
}

QLabel* CPerformPage::valueText(int gauge) const {
  return gauge >= 0 && gauge < kGauges ? values_[static_cast<size_t>(gauge)] : nullptr;
}

QLabel* CPerformPage::scaleLabel(int gauge, int position) const {
  if (gauge < 0 || gauge >= kGauges || position < 0 || position >= 3) return nullptr;
  return scales_[static_cast<size_t>(gauge)][static_cast<size_t>(position)];
}

void CPerformPage::Refresh(int /*reload*/, int /*show*/) {
  if (shown_adapter_.Switched(adapters_)) {
    // Another adapter's figures: none of them may stay under this one, and
    // the frame gauge's scale starts again.
    largest_frames_ = 1;
    for (QProgressBar* bar : bars_) bar->setValue(0);
    for (QLabel* value : values_) value->clear();
  }
  uint32_t token = 0;
  if (GetU32(adapters_, ManagementItem::TokenUtilization, &token) == 0) {
    const auto percent = static_cast<int32_t>(token);
    bars_[kFiberGauge]->setValue(GaugePosition(int64_t{percent}));
    values_[kFiberGauge]->setText(QString::fromStdString(TokenUtilizationText(percent)));
  }

  double bytes = 0;
  size_t length = sizeof bytes;
  if (adapters_.GetItem(ManagementItem::ByteUtilization, &bytes, &length) == 0 &&
      length == sizeof bytes) {
    bars_[kPortGauge]->setValue(GaugePosition(bytes));
    values_[kPortGauge]->setText(QString::fromStdString(ByteUtilizationText(bytes)));
  }

  uint32_t frames = 0;
  if (GetU32(adapters_, ManagementItem::FramesPerInterval, &frames) != 0) return;
  const FrameGauge gauge = ScaleFrames(largest_frames_, frames);
  largest_frames_ = gauge.largest;
  bars_[kFrameGauge]->setValue(gauge.position);
  values_[kFrameGauge]->setText(QString::fromStdString(gauge.value_text));
  for (size_t s = 0; s < gauge.scale.size(); ++s) {
    scales_[kFrameGauge][s]->setText(QString::fromStdString(gauge.scale[s]));
  }
}

void CPerformPage::Print(PrintSurface& /*surface*/, int /*part*/) {}

void CPerformPage::ClearCounters() {}

}  // namespace quivera
