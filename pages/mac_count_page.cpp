// The MAC Counters page: controls, refresh against baselines, clearing and
// print.
#include "pages/mac_count_page.h"

#include <QGridLayout>
#include <QLabel>
#include <cstdint>
#include <ctime>

#include "adapter/adapter_list.h"
#include "pages/page_captions.h"
#include "pages/page_layout_logic.h"
#include "pages/page_support.h"
#include "pages/value_field_width.h"
#include "present/label_pairs.h"
#include "present/print_frame.h"
#include "settings/settings.h"

namespace quivera {

namespace {

// The item of each row, in the order of the page's caption pairs.
constexpr ManagementItem kCounterItems[CMACCountPage::kRows] = {
    ManagementItem::MacTokensReceived,       ManagementItem::MacRingPurgeErrors,
    ManagementItem::MacFciStripErrors,       ManagementItem::MacRingInitsInitiated,
    ManagementItem::MacRingInitsReceived,    ManagementItem::MacRingBeaconingInitiated,
    ManagementItem::MacAddressTestFailures,  ManagementItem::MacDuplicateTokens,
    ManagementItem::MacTracesInitiated,      ManagementItem::MacFrameStatusErrors,
    ManagementItem::MacFrameAlignmentErrors, ManagementItem::MacTransmitUnderruns,
};

// Printed positions, in twips.
constexpr int kBox[] = {1440, -1440, 10800, -7920};
constexpr int kCaptionX = 2160;
constexpr int kValueX = 8640;

}  // namespace

CMACCountPage::CMACCountPage(AdapterList& adapters, QWidget* parent)
    : PropertyPage(parent), adapters_(adapters) {
  setWindowTitle(QStringLiteral("MAC Counters"));
  auto* layout = new QGridLayout(this);
  for (size_t i = 0; i < captions_.size(); ++i) {
    const int row = static_cast<int>(i);
    // Created with the SNMP object names, where the caption switch starts.
    captions_[i] = new QLabel(QString::fromLatin1(MacCounterLabelPairs()[i].snmp_name), this);
    fields_[i] = MakeValueField(this, Qt::AlignRight | Qt::AlignVCenter);
    FitFieldTo(fields_[i], NumberTextSamples(20, false));  // the longest count
    layout->addWidget(captions_[i], row, 0);
    layout->addWidget(fields_[i], row, 1);
  }
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(kRows, 1);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);
}

QLabel* CMACCountPage::captionLabel(int row) const {
  return row >= 0 && row < kRows ? captions_[static_cast<size_t>(row)] : nullptr;
}

QLabel* CMACCountPage::counterField(int row) const {
  return row >= 0 && row < kRows ? fields_[static_cast<size_t>(row)] : nullptr;
}

void CMACCountPage::Refresh(int /*reload*/, int show) {
  if (show != 0) {
    captions_switch_.Follow(captions_, MacCounterLabelPairs(), AppSettings().SNMPLabels.load());
  }

  for (size_t i = 0; i < texts_.size(); ++i) {
    Counter64 counter;
    ReadCounter(adapters_, kCounterItems[i], &counter);
    texts_[i] = counter.Difference(baselines_[i]).Text();
    if (show != 0) fields_[i]->setText(QString::fromStdString(texts_[i]));
  }
}

void CMACCountPage::ClearCounters() {
  for (size_t i = 0; i < baselines_.size(); ++i) {
    ReadCounter(adapters_, kCounterItems[i], &baselines_[i]);
  }
  Refresh(1, 1);
}

void CMACCountPage::Print(PrintSurface& surface, int /*part*/) {
  PrintFrame frame(surface, kMacCountersPrintTitle, std::time(nullptr));
  const int lh = frame.LineHeight();
  const int snmp_labels = AppSettings().SNMPLabels.load();
  frame.Box(kBox[0], kBox[1], kBox[2], kBox[3]);
  int y = kBox[1] - 2 * lh;
  const auto pairs = MacCounterLabelPairs();
  for (size_t i = 0; i < texts_.size() && i < pairs.size(); ++i) {
    frame.Caption(kCaptionX, y, pairs[i], snmp_labels);
    frame.Text(kValueX, y, texts_[i]);
    y -= lh;
  }
}

}  // namespace quivera
