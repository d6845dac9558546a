// The Port page: controls, refresh of one port, LER settings, the LED timer
// and the printout.
#include "pages/port_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <ctime>

#include "adapter/adapter_list.h"
#include "pages/led_lamp.h"
#include "pages/page_layout_logic.h"
#include "pages/page_sets.h"
#include "pages/page_support.h"
#include "pages/value_field_width.h"
#include "present/print_frame.h"
#include "present/ui_services.h"
#include "present/value_texts.h"
#include "settings/settings.h"

namespace quivera {

namespace {

using L = PortLabel;
using I = ManagementItem;

static_assert(CPORTPage::kValues == static_cast<size_t>(L::kNeighborType) + 1);

constexpr const char* kCaption = kMessageCaption;
constexpr char kLedTimerFailedText[] = "Could Not Allocate LED Timer.";
constexpr char kRefusedText[] = "The adapter refused the new link error rate settings.";
constexpr int kLedPictureSize = 32;

size_t At(L label) { return static_cast<size_t>(label); }

// The enumerated values in the order they are read, with their tables.
struct WordValue {
  L label;
  ManagementItem item;
  const ValueTable* table;
};
constexpr WordValue kWordValues[] = {
    {L::kMyType, I::PortMyType, &kPortMyTypeTexts},
    {L::kNeighborType, I::PortNeighborType, &kPortNeighborTypeTexts},
    {L::kCurrentPath, I::PortCurrentPath, &kPortCurrentPathTexts},
    {L::kPmdClass, I::PortPmdClass, &kPortPmdClassTexts},
    {L::kRejectReason, I::PortRejectReason, &kPortRejectReasonTexts},
    {L::kPcmState, I::PortPcmState, &kPortPcmStateTexts},
    {L::kConnectState, I::PortConnectState, &kPortConnectStateTexts},
};

// The counters, in the order they are read; baselines_ follows this order.
struct CounterValue {
  L label;
  ManagementItem item;
};
constexpr CounterValue kCounterValues[] = {
    {L::kLemCounts, I::PortLemCounts},
    {L::kLemRejects, I::PortLemRejects},
    {L::kLctFailures, I::PortLctFailures},
};

// Printed positions, in twips: boxes (left, top, right, bottom) with the
// caption of each at (caption x, caption y).
struct PrintBox {
  const char* caption;
  int caption_x, caption_y;
  int left, top, right, bottom;
};
constexpr PrintBox kStateBox = {"Port State", 840, -1190, 720, -1440, 7920, -4320};
constexpr PrintBox kTypeBox = {"Port Type", 840, -4430, 720, -4680, 7920, -6480};
constexpr PrintBox kLedBox = {"Port LED", 8400, -4430, 8280, -4680, 10440, -5760};
constexpr PrintBox kMonitorBox = {"Link Error Monitor", 840, -6590, 720, -6840, 8640, -9000};
constexpr PrintBox kSettingsBox = {"Link Error Rate Settings", 840, -9110, 720, -9360, 11340, -11160};
constexpr int kPrintCaptionX = 840;
constexpr int kStateValueX = 5040;
constexpr int kValueX = 5400;
constexpr int kLedNameX = 8760;
constexpr int kLerValueX = 4680;
constexpr int kSecondCaptionX = 5400;
constexpr int kSecondValueX = 9360;

void DrawBox(PrintFrame& frame, const PrintBox& box) {
  frame.Box(box.left, box.top, box.right, box.bottom);
  frame.Text(box.caption_x, box.caption_y, box.caption);
}

QSlider* MakeLerSlider(QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(kLerMinimum, kLerMaximum);
  slider->setPageStep(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  return slider;
}

}  // namespace

CPORTPage::CPORTPage(AdapterList& adapters, int port, QWidget* parent, UiServices* ui,
                     LedTimerStarter start_timer)
    : PropertyPage(parent),
      adapters_(adapters),
      port_(port),
      ui_(PageUiServices(ui, this, &own_ui_)) {
  setWindowTitle(QStringLiteral("Port %1").arg(port));

  const auto pairs = PortLabelPairs();
  for (size_t i = 0; i < kValues; ++i) {
    captions_[i] = new QLabel(QString::fromLatin1(pairs[i].snmp_name), this);
    fields_[i] = MakeValueField(this);
  }
  for (L label : {L::kLemCounts, L::kLemRejects, L::kLctFailures, L::kLerEstimate, L::kLerCutoff,
                  L::kLerAlarm}) {
    fields_[At(label)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  // Every field as wide as the longest text it can show: the table texts,
  // counts of up to 20 digits, signed 32-bit LER values.
  for (const WordValue& word : kWordValues) {
    FitFieldTo(fields_[At(word.label)], TableTexts(*word.table));
  }
  for (L label : {L::kLemCounts, L::kLemRejects, L::kLctFailures}) {
    FitFieldTo(fields_[At(label)], NumberTextSamples(20, false));
  }
  for (L label : {L::kLerCutoff, L::kLerAlarm, L::kLerEstimate}) {
    FitFieldTo(fields_[At(label)], NumberTextSamples(10, true));
  }

  // A group of caption/field rows.
  auto rows = [this](const QString& title, std::initializer_list<L> labels) {
    auto* group = new QGroupBox(title, this);
    auto* grid = new QGridLayout(group);
    int row = 0;
    for (L label : labels) {
      captions_[At(label)]->setParent(group);
      fields_[At(label)]->setParent(group);
      grid->addWidget(captions_[At(label)], row, 0);
      grid->addWidget(fields_[At(label)], row, 1);
      ++row;
    }
    grid->setColumnStretch(1, 1);
    return group;
  };
  QGroupBox* state = rows(QStringLiteral("Port State"),
                          {L::kCurrentPath, L::kPmdClass, L::kPcmState, L::kConnectState});
  QGroupBox* type = rows(QStringLiteral("Port Type"), {L::kMyType, L::kNeighborType});
  QGroupBox* monitor = rows(QStringLiteral("Link Error Monitor"),
                            {L::kLemCounts, L::kLemRejects, L::kRejectReason});

  auto* led = new QGroupBox(QStringLiteral("Port LED"), this);
  auto* led_layout = new QVBoxLayout(led);
  led_picture_ = new QLabel(led);
  led_picture_->setAlignment(Qt::AlignCenter);
  led_picture_->setPixmap(LedLampPixmap(LedColour::Grey, kLedPictureSize));
  led_layout->addWidget(led_picture_);

  auto* settings = new QGroupBox(QStringLiteral("Link Error Rate Settings"), this);
  auto* grid = new QGridLayout(settings);
  cutoff_slider_ = MakeLerSlider(settings);
  alarm_slider_ = MakeLerSlider(settings);
  const std::pair<L, QSlider*> slider_rows[] = {{L::kLerCutoff, cutoff_slider_},
                                                {L::kLerAlarm, alarm_slider_}};
  int row = 0;
  for (const auto& [label, slider] : slider_rows) {
    captions_[At(label)]->setParent(settings);
    fields_[At(label)]->setParent(settings);
    grid->addWidget(captions_[At(label)], row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(fields_[At(label)], row, 2);
    connect(slider, &QSlider::valueChanged, this, &CPORTPage::OnSliderMoved);
    ++row;
  }
  row = 0;
  for (L label : {L::kLctFailures, L::kLerEstimate}) {
    captions_[At(label)]->setParent(settings);
    fields_[At(label)]->setParent(settings);
    grid->addWidget(captions_[At(label)], row, 3);
    grid->addWidget(fields_[At(label)], row, 4);
    ++row;
  }
  set_button_ = new QPushButton(QStringLiteral("&Set"), settings);
  cancel_button_ = new QPushButton(QStringLiteral("&Cancel"), settings);
  default_button_ = new QPushButton(QStringLiteral("&Default"), settings);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* button : {set_button_, cancel_button_, default_button_}) {
    button->setAutoDefault(false);
    button->setEnabled(false);
    buttons->addWidget(button);
  }
  grid->addLayout(buttons, 2, 0, 1, 5);
  grid->setColumnStretch(1, 1);
  connect(set_button_, &QPushButton::clicked, this, &CPORTPage::OnSet);
  connect(cancel_button_, &QPushButton::clicked, this, &CPORTPage::OnCancel);
  connect(default_button_, &QPushButton::clicked, this, &CPORTPage::OnDefault);

  auto* layout = new QGridLayout(this);
  layout->addWidget(state, 0, 0);
  layout->addWidget(type, 1, 0);
  layout->addWidget(led, 0, 1);
  layout->addWidget(monitor, 1, 1);
  layout->addWidget(settings, 2, 0, 1, 2);
  layout->setRowStretch(3, 1);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);

  // Initialisation: captions for the preference in force, then the LED timer.
  captions_switch_.Follow(captions_, PortLabelPairs(), AppSettings().SNMPLabels.load());
  led_timer_ = start_timer ? start_timer(*this, kLedTimerMs) : startTimer(kLedTimerMs);
  if (led_timer_ == 0) {
    ui_.Message(kLedTimerFailedText, kCaption, MessageButtons::Ok, MessageIcon::Warning);
  }
}

CPORTPage::~CPORTPage() {
  if (led_timer_ != 0) killTimer(led_timer_);
}

QLabel* CPORTPage::captionLabel(PortLabel value) const {
  return At(value) < kValues ? captions_[At(value)] : nullptr;
}

QLabel* CPORTPage::valueField(PortLabel value) const {
  return At(value) < kValues ? fields_[At(value)] : nullptr;
}

void CPORTPage::showEvent(QShowEvent* event) {
  PropertyPage::showEvent(event);
  // Becoming the sheet's visible page; a window coming back from the task
  // bar is no activation.
  if (!event->spontaneous()) Activate();
}

void CPORTPage::timerEvent(QTimerEvent* event) {
  if (led_timer_ != 0 && event->timerId() == led_timer_) {
    UpdateLed();
    return;
  }
  PropertyPage::timerEvent(event);
}

void CPORTPage::Activate() {
  Refresh(1, 1);
  UpdateLed();
  EditDone(Buttons());
}

void CPORTPage::UpdateLed() {
  led_colour_ = blinker_.Update(led_state_);
  led_colour_text_ = LedColourName(led_colour_);
  led_picture_->setPixmap(LedLampPixmap(led_colour_, kLedPictureSize));
}

void CPORTPage::Refresh(int reload, int show) {
  if (show == 1) {
    captions_switch_.Follow(captions_, PortLabelPairs(), AppSettings().SNMPLabels.load());
  }
  FollowSetGuard(Buttons());
  if (shown_adapter_.Switched(adapters_)) {
    // Another adapter's port: none of its values may stay under this one.
    for (std::string& text : texts_) text.clear();
    for (QLabel* field : fields_) field->clear();
    led_state_ = 0;
  }
  // A full reload shows the adapter's LER values: an unsaved slider edit is
  // gone, so there is nothing left to set or cancel.
  if (reload != 0 && show == 1) EditDone(Buttons());

  uint32_t led = 0;
  if (GetU32(adapters_, I::PortLedState, &led, port_) == 0) led_state_ = led;

  if (reload != 0) {
    LoadLerValue(L::kLerCutoff, show);
    LoadLerValue(L::kLerAlarm, show);
  }

  for (const WordValue& word : kWordValues) {
    uint32_t value = 0;
    if (GetU32(adapters_, word.item, &value, port_) != 0) continue;
    texts_[At(word.label)] = TextFor(*word.table, value);
    ShowText(word.label, show);
  }
  uint32_t estimate = 0;
  if (GetU32(adapters_, I::PortLerEstimate, &estimate, port_) == 0) {
    texts_[At(L::kLerEstimate)] = std::to_string(static_cast<int32_t>(estimate));
    ShowText(L::kLerEstimate, show);
  }

  for (size_t i = 0; i < std::size(kCounterValues); ++i) {
    Counter64 counter;  // a failed read counts as 0
    ReadCounter(adapters_, kCounterValues[i].item, &counter, port_);
    texts_[At(kCounterValues[i].label)] = counter.Difference(baselines_[i]).Text();
    ShowText(kCounterValues[i].label, show);
  }
}

void CPORTPage::ClearCounters() {
  for (size_t i = 0; i < std::size(kCounterValues); ++i) {
    ReadCounter(adapters_, kCounterValues[i].item, &baselines_[i], port_);
  }
  Refresh(1, 1);
}

void CPORTPage::Print(PrintSurface& surface, int /*part*/) {
  const std::string caption = windowTitle().toStdString();
  PrintFrame frame(surface, kPortPrintTitle, caption, std::time(nullptr));
  const int lh = frame.LineHeight();
  const int labels = AppSettings().SNMPLabels.load();
  auto row = [&](int x, int y, L label, int value_x) {
    frame.Caption(x, y, LabelPairFor(label), labels);
    frame.Text(value_x, y, texts_[At(label)]);
  };

  DrawBox(frame, kStateBox);
  const int r1 = kStateBox.top - lh;
  row(kPrintCaptionX, r1, L::kCurrentPath, kStateValueX);
  row(kPrintCaptionX, r1 - 2 * lh, L::kPmdClass, kStateValueX);
  row(kPrintCaptionX, r1 - 4 * lh, L::kPcmState, kStateValueX);
  row(kPrintCaptionX, r1 - 6 * lh, L::kConnectState, kStateValueX);

  DrawBox(frame, kTypeBox);
  DrawBox(frame, kLedBox);
  const int t1 = kTypeBox.caption_y - 2 * lh;
  row(kPrintCaptionX, t1, L::kMyType, kValueX);
  frame.Text(kLedNameX, t1, led_colour_text_);
  row(kPrintCaptionX, t1 - 2 * lh, L::kNeighborType, kValueX);

  DrawBox(frame, kMonitorBox);
  const int m1 = kMonitorBox.caption_y - 2 * lh;
  row(kPrintCaptionX, m1, L::kLemCounts, kValueX);
  row(kPrintCaptionX, m1 - 2 * lh, L::kLemRejects, kValueX);
  row(kPrintCaptionX, m1 - 4 * lh, L::kRejectReason, kValueX);

  DrawBox(frame, kSettingsBox);
  const int s1 = kSettingsBox.caption_y - 2 * lh;
  row(kPrintCaptionX, s1, L::kLerCutoff, kLerValueX);
  row(kSecondCaptionX, s1, L::kLctFailures, kSecondValueX);
  row(kPrintCaptionX, s1 - 2 * lh, L::kLerAlarm, kLerValueX);
  row(kSecondCaptionX, s1 - 2 * lh, L::kLerEstimate, kSecondValueX);
}

void CPORTPage::OnSliderMoved() {
  ShowLerValue(L::kLerCutoff, cutoff_slider_->value());
  ShowLerValue(L::kLerAlarm, alarm_slider_->value());
  OfferEditedValues(Buttons());
}

void CPORTPage::OnSet() { SetLerValues(cutoff_slider_->value(), alarm_slider_->value()); }

void CPORTPage::OnCancel() {
  LoadLerValue(L::kLerCutoff, 1);
  LoadLerValue(L::kLerAlarm, 1);
  EditDone(Buttons());
}

void CPORTPage::OnDefault() { SetLerValues(kLerDefault, kLerDefault); }

void CPORTPage::SetLerValues(int cutoff, int alarm) {
  if (!SetOperationsAllowed()) {
    // The buttons are greyed while set operations are forbidden; a click
    // that slips through sends nothing, and the record says it was tried.
    RecordPageRefusal(adapters_, LerChange(L::kLerCutoff, cutoff), texts_[At(L::kLerCutoff)]);
    RecordPageRefusal(adapters_, LerChange(L::kLerAlarm, alarm), texts_[At(L::kLerAlarm)]);
    FollowSetGuard(Buttons());
    return;
  }
  EditDone(Buttons());
  // Both values in one adapter operation; the result says which one was
  // refused (1 alone: there was no adapter to ask).
  constexpr int kCutoffRefused = 2;
  constexpr int kAlarmRefused = 4;
  adapters_.RunThen(
      adapters_.CurrentIndex(),
      [cutoff, alarm, port = port_](Adapter& adapter) {
        const uint32_t words[2] = {static_cast<uint32_t>(cutoff), static_cast<uint32_t>(alarm)};
        int refused = 0;
        if (adapter.SetItem(I::PortLerCutoff, &words[0], sizeof words[0], port) != 0) {
          refused |= kCutoffRefused;
        }
        if (adapter.SetItem(I::PortLerAlarm, &words[1], sizeof words[1], port) != 0) {
          refused |= kAlarmRefused;
        }
        return refused;
      },
      [this, cutoff, alarm, old_cutoff = texts_[At(L::kLerCutoff)],
       old_alarm = texts_[At(L::kLerAlarm)]](int result) {
        const bool cutoff_taken = result == 0 || result == kAlarmRefused;
        const bool alarm_taken = result == 0 || result == kCutoffRefused;
        RecordPageSet(adapters_, LerChange(L::kLerCutoff, cutoff), old_cutoff, cutoff_taken ? 0 : 1);
        RecordPageSet(adapters_, LerChange(L::kLerAlarm, alarm), old_alarm, alarm_taken ? 0 : 1);
        if (cutoff_taken) ShowLerValue(L::kLerCutoff, cutoff);
        if (alarm_taken) ShowLerValue(L::kLerAlarm, alarm);
        // A refused value must not look accepted: the operator is told, and
        // the full refresh puts the adapter's values back in the fields.
        if (!cutoff_taken || !alarm_taken) TellSetRefused(ui_, kRefusedText);
        Refresh(1, 1);
      });
}

void CPORTPage::LoadLerValue(PortLabel value, int show) {
  const ManagementItem item = value == L::kLerCutoff ? I::PortLerCutoff : I::PortLerAlarm;
  uint32_t number = 0;
  if (GetU32(adapters_, item, &number, port_) != 0) return;
  const int32_t signed_number = static_cast<int32_t>(number);
  texts_[At(value)] = std::to_string(signed_number);
  if (show == 1) ShowLerValue(value, signed_number);
}

void CPORTPage::ShowLerValue(PortLabel value, int number) {
  fields_[At(value)]->setText(QString::number(number));
  QSlider* slider = value == L::kLerCutoff ? cutoff_slider_ : alarm_slider_;
  // Moving the slider from here is not the user's doing.
  const QSignalBlocker quiet(slider);
  slider->setValue(number);
}

void CPORTPage::ShowText(PortLabel value, int show) {
  if (show == 1) fields_[At(value)]->setText(QString::fromLatin1(texts_[At(value)].c_str()));
}

SetButtons CPORTPage::Buttons() const { return {set_button_, cancel_button_, default_button_}; }

std::string CPORTPage::LerChange(PortLabel value, int number) const {
  return std::string(LabelPairFor(value).snmp_name) + ".port" + std::to_string(port_) + "=" +
         std::to_string(number);
}

}  // namespace quivera
