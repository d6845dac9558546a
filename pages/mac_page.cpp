// The MAC page: controls, refresh from the adapter, clearing and print.
#include "pages/mac_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <ctime>

#include "adapter/adapter_list.h"
#include "pages/general_page_logic.h"
#include "pages/page_captions.h"
#include "pages/page_layout_logic.h"
#include "pages/page_support.h"
#include "pages/value_field_width.h"
#include "present/counter64.h"
#include "present/print_frame.h"
#include "present/value_texts.h"
#include "settings/settings.h"

namespace quivera {

namespace {

// The enumerated and neighbour values, in the order they are read. A row
// without a table is an address shown by the station address rules.
struct ValueRow {
  ManagementItem item;
  MacLabel label;
  const ValueTable* table;
};
constexpr ValueRow kValueRows[] = {
    {ManagementItem::MacCurrentPath, MacLabel::kCurrentPath, &kMacCurrentPathTexts},
    {ManagementItem::MacUpstreamNeighbor, MacLabel::kUpstreamNbr, nullptr},
    {ManagementItem::MacDownstreamNeighbor, MacLabel::kDownstreamNbr, nullptr},
    {ManagementItem::MacDownstreamPortType, MacLabel::kDownstreamPortType,
     &kMacDownstreamPortTypeTexts},
    {ManagementItem::MacDupAddressTest, MacLabel::kDupAddressTest, &kMacDupAddressTestTexts},
    {ManagementItem::MacLinkState, MacLabel::kLinkState, &kMacLinkStateTexts},
    {ManagementItem::MacRmtState, MacLabel::kRmtState, &kMacRmtStateTexts},
    {ManagementItem::MacRingPurgerState, MacLabel::kRingPurgerState, &kMacRingPurgerStateTexts},
    {ManagementItem::MacRingPurgerEnable, MacLabel::kRingPurgerEnable, &kMacRingPurgerEnableTexts},
    {ManagementItem::MacRingErrorReason, MacLabel::kRingErrorReason, &kMacRingErrorReasonTexts},
    {ManagementItem::MacFullDuplexState, MacLabel::kFdxState, &kFdxStateTexts},
    {ManagementItem::MacFullDuplexEnable, MacLabel::kFdxEnable, &kFdxEnableTexts},
};

// Printed positions, in twips.
constexpr int kLocalBox[] = {600, -1250, 7000, -6000};
constexpr int kPurgerBox[] = {7100, -1250, 11680, -3000};
constexpr int kDuplexBox[] = {7100, -3500, 11680, -5000};
constexpr int kBoxCaptionX = 720;
constexpr int kSideCaptionX = 7200;
constexpr int kAddressLabelX = 720;
constexpr int kAddressY = -1440;
constexpr int kAddressValueX = 3920;
constexpr int kListBoxLeft = 750;
constexpr int kListBoxRight = 6850;
constexpr int kListBoxBottom = -5860;
constexpr int kListTextX = 870;
constexpr int kRowCaptionX = 600;
constexpr int kRowValueX = 6000;
constexpr int kPurgerValueX = 10620;
constexpr int kDuplexValueX = 9500;

size_t At(MacLabel label) { return static_cast<size_t>(label); }

AddressPreferences PreferencesNow() {
  AddressPreferences preferences;
  preferences.translate_addr = AppSettings().TranslateAddr.load();
  preferences.physical_addr_format = AppSettings().PhysicalAddrFormat.load();
  return preferences;
}

// Reads a 6-byte address; false when unavailable.
bool ReadAddress(AdapterList& adapters, ManagementItem item, std::array<uint8_t, 6>* address) {
  size_t length = address->size();
  return adapters.GetItem(item, address->data(), &length) == 0 && length == address->size();
}

// A caption with its value field in 'grid'.
void AddRow(QGridLayout* grid, int row, QLabel* caption, QLabel* field) {
  grid->addWidget(caption, row, 0);
  grid->addWidget(field, row, 1);
}

}  // namespace

CMACPage::CMACPage(AdapterList& adapters, QWidget* parent)
    : PropertyPage(parent), adapters_(adapters) {
  setWindowTitle(QStringLiteral("MAC"));
  // The protocol names are compiled once, with the window; a build that
  // fails is tried again before the list is next made.
  names_.Build();

  const auto pairs = MacLabelPairs();
  for (size_t i = 0; i < captions_.size() && i < pairs.size(); ++i) {
    // Created with the SNMP object names, where the caption switch starts.
    captions_[i] = new QLabel(QString::fromLatin1(pairs[i].snmp_name), this);
    fields_[i] = MakeValueField(this, Qt::AlignRight | Qt::AlignVCenter);
  }

  // Every field as wide as the longest text it can show.
  for (const ValueRow& row : kValueRows) {
    FitFieldTo(fields_[At(row.label)],
               row.table != nullptr ? TableTexts(*row.table) : AddressTextSamples());
  }
  FitFieldTo(fields_[At(MacLabel::kRingPurgeErrors)], NumberTextSamples(10, true));

  auto* local = new QGroupBox(QStringLiteral("Local Addresses"), this);
  auto* local_grid = new QGridLayout(local);
  current_field_ = MakeValueField(local);
  permanent_field_ = MakeValueField(local);
  FitFieldTo(current_field_, AddressTextSamples());
  FitFieldTo(permanent_field_, AddressTextSamples());
  AddRow(local_grid, 0, new QLabel(QStringLiteral("Current Address"), local), current_field_);
  AddRow(local_grid, 1, new QLabel(QStringLiteral("Permanent Address"), local), permanent_field_);
  local_grid->addWidget(new QLabel(QStringLiteral("Multicast Address Table"), local), 2, 0, 1, 2);
  multicast_box_ = new QListWidget(local);
  local_grid->addWidget(multicast_box_, 3, 0, 1, 2);
  local_grid->setColumnStretch(1, 1);

  auto* purger = new QGroupBox(QStringLiteral("Ring Purger"), this);
  auto* purger_grid = new QGridLayout(purger);
  int row = 0;
  for (MacLabel label :
       {MacLabel::kRingPurgerState, MacLabel::kRingPurgerEnable, MacLabel::kRingPurgeErrors}) {
    AddRow(purger_grid, row++, captions_[At(label)], fields_[At(label)]);
  }

  auto* duplex = new QGroupBox(QStringLiteral("Full Duplex"), this);
  auto* duplex_grid = new QGridLayout(duplex);
  row = 0;
  for (MacLabel label : {MacLabel::kFdxState, MacLabel::kFdxEnable}) {
    AddRow(duplex_grid, row++, captions_[At(label)], fields_[At(label)]);
  }

  auto* left = new QGridLayout;
  row = 0;
  for (MacLabel label :
       {MacLabel::kUpstreamNbr, MacLabel::kDownstreamNbr, MacLabel::kDownstreamPortType,
        MacLabel::kRingErrorReason, MacLabel::kCurrentPath}) {
    AddRow(left, row++, captions_[At(label)], fields_[At(label)]);
  }
  left->setColumnStretch(1, 1);
  auto* right = new QGridLayout;
  row = 0;
  for (MacLabel label : {MacLabel::kLinkState, MacLabel::kRmtState, MacLabel::kDupAddressTest}) {
    AddRow(right, row++, captions_[At(label)], fields_[At(label)]);
  }
  right->setColumnStretch(1, 1);
  right->setRowStretch(row, 1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(local, 0, 0, 3, 1);
  layout->addWidget(purger, 0, 1);
  layout->addWidget(duplex, 1, 1);
  layout->setRowStretch(2, 1);
  layout->addLayout(left, 3, 0);
  layout->addLayout(right, 3, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);
}

QLabel* CMACPage::captionLabel(MacLabel label) const {
  return At(label) < captions_.size() ? captions_[At(label)] : nullptr;
}

QLabel* CMACPage::valueField(MacLabel label) const {
  return At(label) < fields_.size() ? fields_[At(label)] : nullptr;
}

void CMACPage::Refresh(int /*reload*/, int show) {
  if (show != 0)
    captions_switch_.Follow(captions_, MacLabelPairs(), AppSettings().SNMPLabels.load());
  const AddressPreferences preferences = PreferencesNow();
  if (shown_adapter_.Switched(adapters_)) ForgetAdapter();

  std::array<uint8_t, 6> address{};
  if (ReadAddress(adapters_, ManagementItem::MacCurrentAddress, &address)) {
    current_text_ = StationAddressText(address, preferences);
    if (show != 0) current_field_->setText(QString::fromStdString(current_text_));
  }
  if (ReadAddress(adapters_, ManagementItem::MacPermanentAddress, &address)) {
    permanent_text_ = PermanentAddressText(address, preferences);
    if (show != 0) permanent_field_->setText(QString::fromStdString(permanent_text_));
  }

  RefreshMulticastList(show, preferences);

  for (const ValueRow& row : kValueRows) {
    std::string& text = texts_[At(row.label)];
    if (row.table == nullptr) {
      if (!ReadAddress(adapters_, row.item, &address)) continue;
      text = StationAddressText(address, preferences);
    } else {
      uint32_t value = 0;
      if (GetU32(adapters_, row.item, &value) != 0) continue;
      text = TextFor(*row.table, value);
    }
    if (show != 0) fields_[At(row.label)]->setText(QString::fromStdString(text));
  }

  Counter64 counter;
  if (ReadCounter(adapters_, ManagementItem::MacRingPurgeErrors, &counter)) {
    const int64_t since = StatisticSinceBaseline(counter.low(), purge_errors_baseline_);
    texts_[At(MacLabel::kRingPurgeErrors)] = std::to_string(since);
    if (show != 0) {
      purge_errors_shown_ = since;
      fields_[At(MacLabel::kRingPurgeErrors)]->setText(QString::number(since));
    }
  }
}

void CMACPage::ForgetAdapter() {
  current_text_.clear();
  permanent_text_.clear();
  current_field_->clear();
  permanent_field_->clear();
  for (std::string& text : texts_) text.clear();
  for (QLabel* field : fields_) field->clear();
  multicast_texts_.clear();
  // No list was made for this adapter yet: the next read makes one.
  multicast_ = MulticastListCopy{};
  multicast_.entries = static_cast<size_t>(-1);
  multicast_box_->clear();
}

void CMACPage::RefreshMulticastList(int show, const AddressPreferences& preferences) {
  MulticastListBytes bytes{};
  size_t length = bytes.size();
  if (adapters_.GetItem(ManagementItem::MacMulticastList, bytes.data(), &length) != 0) return;
  const size_t entries = std::min(length, bytes.size()) / 6;
  if (SameMulticastList(multicast_, bytes, entries, preferences)) return;
  // A structure that could not be built with the window is tried again.
  names_.Build();
  multicast_texts_ = MulticastListTexts(bytes, entries, preferences, names_);
  multicast_ = MulticastListCopy{bytes, entries, preferences};
  if (show == 0) {
    // The box was not made from these texts: make it at the next showing.
    multicast_.entries = static_cast<size_t>(-1);
    return;
  }
  multicast_box_->clear();
  for (const std::string& text : ListBoxOrder(multicast_texts_)) {
    multicast_box_->addItem(QString::fromStdString(text));
  }
}

void CMACPage::ClearCounters() {
  purge_errors_baseline_ = BaselineAfterClear(purge_errors_baseline_, purge_errors_shown_);
  Refresh(1, 1);
}

void CMACPage::Print(PrintSurface& surface, int /*part*/) {
  PrintFrame frame(surface, kMacPrintTitle, std::time(nullptr));
  const int lh = frame.LineHeight();
  const int snmp_labels = AppSettings().SNMPLabels.load();
  const auto caption = [&](int x, int y, MacLabel label) {
    frame.Caption(x, y, LabelPairFor(label), snmp_labels);
  };

  frame.Box(kLocalBox[0], kLocalBox[1], kLocalBox[2], kLocalBox[3], "Local Addresses",
            kBoxCaptionX);
  frame.Text(kAddressLabelX, kAddressY, "Current Address");
  frame.Text(kAddressValueX, kAddressY, current_text_);
  frame.Text(kAddressLabelX, kAddressY - lh, "Permanent Address");
  frame.Text(kAddressValueX, kAddressY - lh, permanent_text_);
  const int list_top = kAddressY - 3 * lh;
  frame.Box(kListBoxLeft, list_top, kListBoxRight, kListBoxBottom, "Multicast Address Table",
            kListTextX);
  // Lines whose whole height stays above the box's bottom edge.
  const int room = lh > 0 ? (list_top - kListBoxBottom) / lh - 1 : 0;
  frame.Lines(kListTextX, list_top - lh, PrintedMulticastLines(multicast_texts_, room));

  const int y1 = kLocalBox[3] - 2 * lh;
  const std::pair<MacLabel, int> rows[] = {
      {MacLabel::kUpstreamNbr, y1},
      {MacLabel::kDownstreamNbr, y1 - lh},
      {MacLabel::kDownstreamPortType, y1 - 2 * lh},
      {MacLabel::kRingErrorReason, y1 - 3 * lh},
      {MacLabel::kCurrentPath, y1 - 4 * lh},
      {MacLabel::kLinkState, y1 - 6 * lh},
      {MacLabel::kRmtState, y1 - 7 * lh},
      {MacLabel::kDupAddressTest, y1 - 8 * lh},
  };
  for (const auto& [label, y] : rows) {
    caption(kRowCaptionX, y, label);
    frame.Text(kRowValueX, y, texts_[At(label)]);
  }

  frame.Box(kPurgerBox[0], kPurgerBox[1], kPurgerBox[2], kPurgerBox[3], "Ring Purger",
            kSideCaptionX);
  const MacLabel purger_rows[] = {MacLabel::kRingPurgerState, MacLabel::kRingPurgerEnable,
                                  MacLabel::kRingPurgeErrors};
  int y = kAddressY;
  for (MacLabel label : purger_rows) {
    caption(kSideCaptionX, y, label);
    frame.Text(kPurgerValueX, y, texts_[At(label)]);
    y -= lh;
  }

  frame.Box(kDuplexBox[0], kDuplexBox[1], kDuplexBox[2], kDuplexBox[3], "Full Duplex",
            kSideCaptionX);
  const int duplex_caption_y = kDuplexBox[1] + kBoxCaptionRise - 2 * lh;
  const int duplex_value_y = kAddressY - 8 * lh;
  caption(kSideCaptionX, duplex_caption_y, MacLabel::kFdxState);
  frame.Text(kDuplexValueX, duplex_value_y, texts_[At(MacLabel::kFdxState)]);
  caption(kSideCaptionX, duplex_caption_y - lh, MacLabel::kFdxEnable);
  frame.Text(kDuplexValueX, duplex_value_y - lh, texts_[At(MacLabel::kFdxEnable)]);
}

}  // namespace quivera
