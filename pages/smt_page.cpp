// The SMT page: controls, the policy edit and its sets, refresh and print.
#include "pages/smt_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <ctime>

#include "adapter/adapter_list.h"
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

constexpr char kOpVersionText[] = "7.2";
constexpr char kRefusedText[] = "The adapter refused the new connection policy.";

// The value rows under the two boxes, in SmtLabel order from Op Version Id.
constexpr SmtLabel kRowLabels[] = {SmtLabel::kOpVersionId, SmtLabel::kBypassPresent,
                                   SmtLabel::kEcmState, SmtLabel::kCfState, SmtLabel::kUserData};

// Printed positions, in twips.
constexpr int kPolicyBox[] = {720, -1440, 6480, -7200};
constexpr int kPathsBox[] = {6840, -1440, 11160, -3600};
constexpr int kPolicyCaptionX = 840;
constexpr int kPathsCaptionX = 6960;
constexpr int kSquare = 720;
constexpr int kGridLeft = 2160;
constexpr int kGridTop = -2880;
constexpr int kStarInset = 280;
constexpr int kLegendX = 840;
constexpr int kLegendY = -6480;
constexpr int kHeadingX = 2160;
constexpr int kLocalX = 900;
constexpr int kColumnLetterX = 2340;
constexpr int kRowLetterX = 1800;
constexpr int kRowLetterY = -3240;
constexpr int kPathTextX = 8400;
constexpr int kRowCaptionX = 840;
constexpr int kRowValueX = 5160;
// Lines below the policy box's bottom edge of each value row.
constexpr int kRowLines[] = {3, 5, 7, 9, 12};

}  // namespace

CSMTPage::CSMTPage(AdapterList& adapters, QWidget* parent, UiServices* ui)
    : PropertyPage(parent), adapters_(adapters), ui_(PageUiServices(ui, this, &own_ui_)) {
  setWindowTitle(QStringLiteral("SMT"));
  // Created with the SNMP object names (applied_labels_ 0).
  policy_group_ =
      new QGroupBox(QString::fromLatin1(LabelPairFor(SmtLabel::kConnectionPolicy).snmp_name), this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Neighbor Port Type"), policy_group_), 0, 2, 1,
                  kPortTypes, Qt::AlignCenter);
  grid->addWidget(new QLabel(QStringLiteral("Local\nPort\nType"), policy_group_), 2, 0, kPortTypes,
                  1, Qt::AlignCenter);
  for (int type = 0; type < kPortTypes; ++type) {
    const QString letter(QLatin1Char(kPortTypeLetters[type]));
    grid->addWidget(new QLabel(letter, policy_group_), 1, 2 + type, Qt::AlignCenter);
    grid->addWidget(new QLabel(letter, policy_group_), 2 + type, 1, Qt::AlignCenter);
  }
  const auto policy_pairs = PolicyPairs();
  for (size_t i = 0; i < cells_.size(); ++i) {
    cells_[i] = new QCheckBox(policy_group_);
    cells_[i]->setObjectName(QString::fromLatin1(policy_pairs[i].code));
    grid->addWidget(cells_[i], 2 + policy_pairs[i].local, 2 + policy_pairs[i].neighbour,
                    Qt::AlignCenter);
    connect(cells_[i], &QCheckBox::clicked, this, [this, i] { OnCellClicked(i); });
  }
  set_button_ = new QPushButton(QStringLiteral("&Set"), policy_group_);
  cancel_button_ = new QPushButton(QStringLiteral("&Cancel"), policy_group_);
  default_button_ = new QPushButton(QStringLiteral("&Default"), policy_group_);
  connect(set_button_, &QPushButton::clicked, this, &CSMTPage::OnSet);
  connect(cancel_button_, &QPushButton::clicked, this, &CSMTPage::OnCancel);
  connect(default_button_, &QPushButton::clicked, this, &CSMTPage::OnDefault);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(set_button_);
  buttons->addWidget(cancel_button_);
  buttons->addWidget(default_button_);
  auto* policy_column = new QVBoxLayout(policy_group_);
  policy_column->addLayout(grid);
  policy_column->addStretch(1);
  policy_column->addLayout(buttons);

  paths_group_ =
      new QGroupBox(QString::fromLatin1(LabelPairFor(SmtLabel::kAvailablePaths).snmp_name), this);
  auto* paths_column = new QVBoxLayout(paths_group_);
  const auto path_bits = AvailablePathBits();
  for (size_t i = 0; i < path_boxes_.size() && i < path_bits.size(); ++i) {
    path_boxes_[i] = new QCheckBox(QString::fromLatin1(path_bits[i].text), paths_group_);
    paths_column->addWidget(path_boxes_[i]);
    const int row = static_cast<int>(i);
    connect(path_boxes_[i], &QCheckBox::clicked, this,
            [this, row](bool checked) { OnPathClicked(row, checked); });
  }

  version_field_ = MakeValueField(this);
  version_field_->setText(QString::fromLatin1(kOpVersionText));
  bypass_field_ = MakeValueField(this);
  ecm_field_ = MakeValueField(this);
  cf_field_ = MakeValueField(this);
  user_data_field_ = MakeValueField(this);
  FitFieldTo(bypass_field_, TableTexts(kSmtBypassPresentTexts));
  FitFieldTo(ecm_field_, TableTexts(kSmtEcmStateTexts));
  FitFieldTo(cf_field_, TableTexts(kSmtCfStateTexts));
  QLabel* fields[] = {version_field_, bypass_field_, ecm_field_, cf_field_, user_data_field_};
  auto* rows = new QGridLayout;
  for (size_t i = 0; i < row_captions_.size(); ++i) {
    row_captions_[i] = new QLabel(QString::fromLatin1(LabelPairFor(kRowLabels[i]).snmp_name), this);
    rows->addWidget(row_captions_[i], static_cast<int>(i), 0);
    rows->addWidget(fields[i], static_cast<int>(i), 1);
  }
  rows->setColumnStretch(1, 1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(policy_group_, 0, 0, 2, 1);
  layout->addWidget(paths_group_, 0, 1);
  layout->addLayout(rows, 1, 1);
  layout->setRowStretch(2, 1);
  FixPageSize(this, kPageWidthUnits, kPageHeightUnits);

  EditDone(Buttons());
}

CSMTPage::~CSMTPage() = default;

QCheckBox* CSMTPage::policyCell(size_t cell) const {
  return cell < cells_.size() ? cells_[cell] : nullptr;
}

QCheckBox* CSMTPage::pathBox(int row) const {
  return row >= 0 && static_cast<size_t>(row) < path_boxes_.size()
             ? path_boxes_[static_cast<size_t>(row)]
             : nullptr;
}

QString CSMTPage::captionText(SmtLabel label) const {
  if (label == SmtLabel::kConnectionPolicy) return policy_group_->title();
  if (label == SmtLabel::kAvailablePaths) return paths_group_->title();
  for (size_t i = 0; i < row_captions_.size(); ++i) {
    if (kRowLabels[i] == label) return row_captions_[i]->text();
  }
  return QString();
}

void CSMTPage::Refresh(int reload, int show) {
  const int snmp_labels = AppSettings().SNMPLabels.load();
  if (show != 0 && snmp_labels != applied_labels_) ApplyCaptions(snmp_labels);

  FollowSetGuard(Buttons());
  if (shown_adapter_.Switched(adapters_)) {
    // Another adapter's station: none of its values may stay under this one.
    path_flags_ = {};
    path_texts_.clear();
    current_policy_ = 0;
    pending_policy_ = 0;
    for (std::string* text : {&bypass_text_, &ecm_text_, &cf_text_}) text->clear();
    for (QLabel* field : {bypass_field_, ecm_field_, cf_field_}) field->clear();
    ShowGrid(0);
    for (QCheckBox* box : path_boxes_) box->setChecked(false);
  }

  uint32_t paths = 0;
  if (GetU32(adapters_, ManagementItem::SmtAvailablePaths, &paths) == 0) {
    const auto bits = AvailablePathBits();
    for (size_t i = 0; i < path_flags_.size() && i < bits.size(); ++i) {
      path_flags_[i] = (paths & bits[i].bit) != 0;
    }
    path_texts_.clear();
    for (const char* text : AvailablePathTexts(paths)) path_texts_.emplace_back(text);
  }

  if (reload != 0) update();

  uint32_t policy = 0;
  if (GetU32(adapters_, ManagementItem::SmtConnectionPolicy, &policy) == 0)
    current_policy_ = policy;
  if (reload != 0) {
    // A full refresh shows the adapter's policy: an unsaved edit is gone, so
    // there is nothing left to set or cancel.
    pending_policy_ = current_policy_;
    ShowGrid(pending_policy_);
    if (show != 0) DisableSetAndCancel();
  }

  struct StateRow {
    ManagementItem item;
    const ValueTable* table;
    std::string* text;
    QLabel* field;
  };
  const StateRow states[] = {
      {ManagementItem::SmtBypassPresent, &kSmtBypassPresentTexts, &bypass_text_, bypass_field_},
      {ManagementItem::SmtEcmState, &kSmtEcmStateTexts, &ecm_text_, ecm_field_},
      {ManagementItem::SmtCfState, &kSmtCfStateTexts, &cf_text_, cf_field_},
  };
  for (const StateRow& row : states) {
    uint32_t value = 0;
    if (GetU32(adapters_, row.item, &value) != 0) continue;
    *row.text = TextFor(*row.table, value);
    if (show != 0) row.field->setText(QString::fromLatin1(row.text->c_str()));
  }

  if (show != 0) {
    for (size_t i = 0; i < path_boxes_.size(); ++i) path_boxes_[i]->setChecked(path_flags_[i]);
  }
}

void CSMTPage::Print(PrintSurface& surface, int /*part*/) {
  PrintFrame frame(surface, kSmtPrintTitle, std::time(nullptr));
  const int lh = frame.LineHeight();
  const int snmp_labels = AppSettings().SNMPLabels.load();

  frame.Box(kPolicyBox[0], kPolicyBox[1], kPolicyBox[2], kPolicyBox[3],
            CaptionFor(SmtLabel::kConnectionPolicy, snmp_labels), kPolicyCaptionX);
  frame.Text(kLegendX, kLegendY, "* -- Means legal connections");
  frame.Text(kHeadingX, kPolicyBox[1] - lh, "Neighbor Port Type");
  frame.Text(kLocalX, kGridTop, "Local");
  frame.Text(kLocalX, kGridTop - 3 * lh, "Port");
  frame.Text(kLocalX, kGridTop - 6 * lh, "Type");
  for (int type = 0; type < kPortTypes; ++type) {
    const std::string letter(1, kPortTypeLetters[type]);
    frame.Text(kColumnLetterX + type * kSquare, kPolicyBox[1] - 3 * lh, letter);
    frame.Text(kRowLetterX, kRowLetterY - type * kSquare, letter);
  }
  const auto pairs = PolicyPairs();
  const PolicyCells legal = LegalCells(current_policy_);
  for (size_t i = 0; i < pairs.size(); ++i) {
    const int left = kGridLeft + pairs[i].neighbour * kSquare;
    const int top = kGridTop - pairs[i].local * kSquare;
    frame.Box(left, top, left + kSquare, top - kSquare);
    if (legal[i]) frame.Text(left + kStarInset, top - kStarInset, "*");
  }

  frame.Box(kPathsBox[0], kPathsBox[1], kPathsBox[2], kPathsBox[3],
            CaptionFor(SmtLabel::kAvailablePaths, snmp_labels), kPathsCaptionX);
  frame.Lines(kPathTextX, kPathsBox[1] + kBoxCaptionRise - 2 * lh, path_texts_);

  const std::string* values[] = {nullptr, &bypass_text_, &ecm_text_, &cf_text_, nullptr};
  for (size_t i = 0; i < std::size(kRowLabels); ++i) {
    const int y = kPolicyBox[3] - kRowLines[i] * lh;
    frame.Caption(kRowCaptionX, y, LabelPairFor(kRowLabels[i]), snmp_labels);
    if (values[i] != nullptr) {
      frame.Text(kRowValueX, y, *values[i]);
    } else {
      frame.Text(
          kRowValueX, y,
          kRowLabels[i] == SmtLabel::kOpVersionId ? kOpVersionText : "User Data will be added");
    }
  }
}

void CSMTPage::OnCellClicked(size_t cell) {
  // The edit is always allowed; only sending it depends on the preference.
  pending_policy_ = ToggleCell(pending_policy_, cell);
  ShowGrid(pending_policy_);
  OfferEditedValues(Buttons());
}

void CSMTPage::OnPathClicked(int row, bool checked) {
  // The paths are the station's: a click only toggled the box, so put it back.
  path_boxes_[static_cast<size_t>(row)]->setChecked(!checked);
}

void CSMTPage::OnSet() {
  if (RefusedByGuard(pending_policy_)) return;
  const uint32_t old_policy = current_policy_;
  current_policy_ = pending_policy_;
  ShowGrid(current_policy_);
  DisableSetAndCancel();
  WritePolicy(current_policy_, old_policy);
}

void CSMTPage::OnCancel() {
  ReloadPolicy();
  DisableSetAndCancel();
}

void CSMTPage::OnDefault() {
  if (RefusedByGuard(kDefaultConnectionPolicy)) return;
  const uint32_t old_policy = current_policy_;
  current_policy_ = kDefaultConnectionPolicy;
  pending_policy_ = kDefaultConnectionPolicy;
  ShowGrid(current_policy_);
  DisableSetAndCancel();
  WritePolicy(current_policy_, old_policy);
}

bool CSMTPage::RefusedByGuard(uint32_t policy) {
  if (SetOperationsAllowed()) return false;
  // The buttons are greyed while set operations are forbidden; a click that
  // slips through sends nothing, and the record says it was tried.
  RecordPageRefusal(adapters_, PolicyChange(policy), std::to_string(current_policy_));
  FollowSetGuard(Buttons());
  return true;
}

std::string CSMTPage::PolicyChange(uint32_t policy) {
  return std::string(LabelPairFor(SmtLabel::kConnectionPolicy).snmp_name) + "=" +
         std::to_string(policy);
}

void CSMTPage::WritePolicy(uint32_t policy, uint32_t old_policy) {
  const int result =
      adapters_.SetItem(ManagementItem::SmtConnectionPolicy, &policy, sizeof policy);
  RecordPageSet(adapters_, PolicyChange(policy), std::to_string(old_policy), result);
  if (result == 0) return;
  TellSetRefused(ui_, kRefusedText);
  ReloadPolicy();
}

void CSMTPage::ReloadPolicy() {
  uint32_t policy = 0;
  if (GetU32(adapters_, ManagementItem::SmtConnectionPolicy, &policy) == 0)
    current_policy_ = policy;
  pending_policy_ = current_policy_;
  ShowGrid(pending_policy_);
}

void CSMTPage::ShowGrid(uint32_t policy) {
  const PolicyCells legal = LegalCells(policy);
  for (size_t i = 0; i < cells_.size(); ++i) cells_[i]->setChecked(legal[i]);
}

void CSMTPage::DisableSetAndCancel() { EditDone(Buttons()); }

SetButtons CSMTPage::Buttons() const { return {set_button_, cancel_button_, default_button_}; }

void CSMTPage::ApplyCaptions(int snmp_labels) {
  policy_group_->setTitle(
      QString::fromLatin1(CaptionFor(SmtLabel::kConnectionPolicy, snmp_labels)));
  paths_group_->setTitle(QString::fromLatin1(CaptionFor(SmtLabel::kAvailablePaths, snmp_labels)));
  for (size_t i = 0; i < row_captions_.size(); ++i) {
    row_captions_[i]->setText(QString::fromLatin1(CaptionFor(kRowLabels[i], snmp_labels)));
  }
  applied_labels_ = snmp_labels;
}

}  // namespace quivera
