// The Path page: controls, the slider rule, the timer sets, refresh and
// print.
#include "pages/path_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <ctime>

#include "adapter/adapter_list.h"
#include "pages/page_captions.h"
#include "pages/page_layout_logic.h"
#include "pages/page_sets.h"
#include "pages/page_support.h"
#include "pages/value_field_width.h"
#include "present/print_frame.h"
#include "present/ui_services.h"
#include "settings/settings.h"

namespace quivera {

namespace {

constexpr char kRefusedText[] = "The adapter refused the new path timers.";

// The bounds, top to bottom, with their items and ranges.
struct BoundRow {
  ManagementItem item;
  PathBoundRange range;
};
constexpr BoundRow kBoundRows[3] = {
    {ManagementItem::PathTMaxLowerBound, kTMaxLowerBoundRange},
    {ManagementItem::PathMaxTReq, kMaxTReqRange},
    {ManagementItem::PathTvxLowerBound, kTvxLowerBoundRange},
};
constexpr ManagementItem kTimerItems[4] = {ManagementItem::PathTReq, ManagementItem::PathTNeg,
                                           ManagementItem::PathTMax, ManagementItem::PathTvx};

// Printed positions, in twips.
constexpr int kBox[] = {1440, -1440, 10800, -7200};
constexpr int kCaptionX = 2160;
constexpr int kValueX = 7200;

// The bound of row 'row' (0 T-Max, 1 Max T-Req, 2 TVX).
int& BoundOf(PathBounds& bounds, size_t row) {
  return row == 0 ? bounds.tmax : row == 1 ? bounds.treq : bounds.tvx;
}

}  // namespace

CPathPage::CPathPage(AdapterList& adapters, QWidget* parent, UiServices* ui)
    : PropertyPage(parent), adapters_(adapters), ui_(PageUiServices(ui, this, &own_ui_)) {
  setWindowTitle(QStringLiteral("Path"));
  const auto pairs = PathLabelPairs();
  for (size_t i = 0; i < captions_.size() && i < pairs.size(); ++i) {
    // Created with the SNMP object names, where the caption switch starts.
    captions_[i] = new QLabel(QString::fromLatin1(pairs[i].snmp_name), this);
  }

  auto* layout = new QGridLayout(this);
  int row = 0;
  for (size_t i = 0; i < sliders_.size(); ++i, ++row) {
    sliders_[i] = new QSlider(Qt::Horizontal, this);
    sliders_[i]->setRange(static_cast<int>(kBoundRows[i].range.min),
                          static_cast<int>(kBoundRows[i].range.max));
    connect(sliders_[i], &QSlider::valueChanged, this, &CPathPage::OnSliderMoved);
    bound_fields_[i] = MakeValueField(this, Qt::AlignRight | Qt::AlignVCenter);
    // The milliseconds of any 32-bit count of 80 ns units have six digits.
    FitFieldTo(bound_fields_[i], NumberTextSamples(6, false));
    layout->addWidget(captions_[i], row, 0);
    layout->addWidget(sliders_[i], row, 1);
    layout->addWidget(bound_fields_[i], row, 2);
  }

  set_button_ = new QPushButton(QStringLiteral("&Set"), this);
  cancel_button_ = new QPushButton(QStringLiteral("&Cancel"), this);
  default_button_ = new QPushButton(QStringLiteral("&Default"), this);
  connect(set_button_, &QPushButton::clicked, this, &CPathPage::OnSet);
  connect(cancel_button_, &QPushButton::clicked, this, &CPathPage::OnCancel);
  connect(default_button_, &QPushButton::clicked, this, &CPathPage::OnDefault);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(set_button_);
  buttons->addWidget(cancel_button_);
  buttons->addWidget(default_button_);
  layout->addLayout(buttons, row++, 0, 1, 3);

  for (size_t i = 0; i < timer_fields_.size(); ++i, ++row) {
    timer_fields_[i] = MakeValueField(this);
    FitFieldTo(timer_fields_[i], {MacTimerText(UINT32_MAX)});
    layout->addWidget(captions_[sliders_.size() + i], row, 0);
    layout->addWidget(timer_fields_[i], row, 1, 1, 2);
  }
  layout->setColumnStretch(1, 1);
  layout->setRowStretch(row, 1);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);

  EditDone(Buttons());
}

CPathPage::~CPathPage() = default;

PathBounds CPathPage::sliderBounds() const {
  return PathBounds{sliders_[0]->value(), sliders_[1]->value(), sliders_[2]->value()};
}

QLabel* CPathPage::boundField(int row) const {
  return row >= 0 && static_cast<size_t>(row) < bound_fields_.size()
             ? bound_fields_[static_cast<size_t>(row)]
             : nullptr;
}

QLabel* CPathPage::timerField(int row) const {
  return row >= 0 && static_cast<size_t>(row) < timer_fields_.size()
             ? timer_fields_[static_cast<size_t>(row)]
             : nullptr;
}

QLabel* CPathPage::captionLabel(PathLabel label) const {
  const auto index = static_cast<size_t>(label);
  return index < captions_.size() ? captions_[index] : nullptr;
}

void CPathPage::Refresh(int reload, int show) {
  if (show != 0)
    captions_switch_.Follow(captions_, PathLabelPairs(), AppSettings().SNMPLabels.load());

  FollowSetGuard(Buttons());
  if (shown_adapter_.Switched(adapters_)) {
    // Another adapter's timers: none of them may stay under this one.
    for (std::string& text : bound_texts_) text.clear();
    for (std::string& text : timer_texts_) text.clear();
    for (QLabel* field : bound_fields_) field->clear();
    for (QLabel* field : timer_fields_) field->clear();
  }

  if (reload != 0) {
    LoadBounds(show);
    if (show != 0) DisableSetAndCancel();
  }

  for (size_t i = 0; i < timer_texts_.size(); ++i) {
    uint32_t units = 0;
    if (GetU32(adapters_, kTimerItems[i], &units) != 0) continue;
    timer_texts_[i] = MacTimerText(units);
    if (show != 0) timer_fields_[i]->setText(QString::fromStdString(timer_texts_[i]));
  }
}

void CPathPage::Print(PrintSurface& surface, int /*part*/) {
  PrintFrame frame(surface, kPathPrintTitle, std::time(nullptr));
  const int lh = frame.LineHeight();
  const int snmp_labels = AppSettings().SNMPLabels.load();
  frame.Box(kBox[0], kBox[1], kBox[2], kBox[3]);
  const auto pairs = PathLabelPairs();
  int y = kBox[1] - 2 * lh;
  for (size_t i = 0; i < pairs.size() && i < captions_.size(); ++i) {
    frame.Caption(kCaptionX, y, pairs[i], snmp_labels);
    frame.Text(kValueX, y,
               i < bound_texts_.size() ? bound_texts_[i] : timer_texts_[i - bound_texts_.size()]);
    y -= 2 * lh;
  }
}

void CPathPage::OnSliderMoved() {
  const PathBounds pushed = PushPathBounds(sliderBounds(), recorded_);
  ShowBounds(pushed);
  OfferEditedValues(Buttons());
}

void CPathPage::OnSet() {
  if (RefusedByGuard(sliderBounds())) return;
  WriteBounds(sliderBounds());
}

void CPathPage::OnCancel() {
  LoadBounds(1);
  DisableSetAndCancel();
}

void CPathPage::OnDefault() {
  if (RefusedByGuard(kDefaultPathBounds)) return;
  ShowBounds(kDefaultPathBounds);
  WriteBounds(kDefaultPathBounds);
}

void CPathPage::WriteBounds(const PathBounds& bounds) {
  const std::array<uint32_t, 3> record = PathTimersRecord(bounds);
  const int result = adapters_.SetItem(ManagementItem::PathTimers, record.data(), sizeof record);
  RecordPageSet(adapters_, BoundsChange(bounds), StoredBounds(), result);
  DisableSetAndCancel();
  if (result != 0) TellSetRefused(ui_, kRefusedText);
  Refresh(1, 1);
}

void CPathPage::LoadBounds(int show) {
  PathBounds shown = sliderBounds();
  for (size_t i = 0; i < std::size(kBoundRows); ++i) {
    uint32_t units = 0;
    if (GetU32(adapters_, kBoundRows[i].item, &units) != 0) continue;
    const uint32_t milliseconds = UnitsToMilliseconds(units);
    bound_texts_[i] = std::to_string(milliseconds);
    if (show == 0) continue;
    bound_fields_[i]->setText(QString::number(milliseconds));
    BoundOf(shown, i) = static_cast<int>(milliseconds);
  }
  if (show != 0) PutOnSliders(shown);
}

void CPathPage::ShowBounds(const PathBounds& bounds) {
  PutOnSliders(bounds);
  for (size_t i = 0; i < bound_fields_.size(); ++i) {
    bound_fields_[i]->setText(QString::number(BoundOf(recorded_, i)));
  }
}

void CPathPage::PutOnSliders(const PathBounds& bounds) {
  {
    // Moved by the page, not by the operator: no slider movement to follow.
    const QSignalBlocker quiet_tmax(sliders_[0]);
    const QSignalBlocker quiet_treq(sliders_[1]);
    const QSignalBlocker quiet_tvx(sliders_[2]);
    sliders_[0]->setValue(bounds.tmax);
    sliders_[1]->setValue(bounds.treq);
    sliders_[2]->setValue(bounds.tvx);
  }
  recorded_ = sliderBounds();
}

void CPathPage::DisableSetAndCancel() { EditDone(Buttons()); }

SetButtons CPathPage::Buttons() const { return {set_button_, cancel_button_, default_button_}; }

bool CPathPage::RefusedByGuard(const PathBounds& bounds) {
  if (SetOperationsAllowed()) return false;
  // The buttons are greyed while set operations are forbidden; a click that
  // slips through sends nothing, and the record says it was tried.
  RecordPageRefusal(adapters_, BoundsChange(bounds), StoredBounds());
  FollowSetGuard(Buttons());
  return true;
}

std::string CPathPage::BoundsChange(const PathBounds& bounds) {
  const auto pairs = PathLabelPairs();
  const int values[] = {bounds.tmax, bounds.treq, bounds.tvx};
  std::string what;
  for (size_t i = 0; i < std::size(values) && i < pairs.size(); ++i) {
    if (!what.empty()) what += ',';
    what += std::string(pairs[i].snmp_name) + "=" + std::to_string(values[i]) + "ms";
  }
  return what;
}

std::string CPathPage::StoredBounds() const {
  if (bound_texts_[0].empty()) return std::string();
  return bound_texts_[0] + "/" + bound_texts_[1] + "/" + bound_texts_[2] + "ms";
}

}  // namespace quivera
