// The Flash page: list, option groups, fill and print.
#include "pages/flash_page.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>
#include <ctime>

#include "adapter/adapter_list.h"
#include "dialogs/font_faces.h"
#include "dialogs/ui_text.h"
#include "pages/page_layout_logic.h"
#include "pages/page_support.h"
#include "present/print_frame.h"

namespace quivera {

namespace {

constexpr char kListFace[] = "Lucida Console";

// Printed positions and cell heights, in twips.
constexpr int kLinesX = 720;
constexpr int kSecondColumnX = 6120;
constexpr int kFirstLineY = -1340;
constexpr int kFirstSheetCellHeight = 216;
constexpr int kErrorLogCellHeight = 180;

// The wait cursor while the list is filled.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

template <size_t N>
QRadioButton* ButtonAt(const std::array<QRadioButton*, N>& buttons, int i) {
  return i >= 0 && static_cast<size_t>(i) < N ? buttons[static_cast<size_t>(i)] : nullptr;
}

template <size_t N>
int CheckedIndex(const std::array<QRadioButton*, N>& buttons) {
  for (size_t i = 0; i < N; ++i) {
    if (buttons[i]->isChecked()) return static_cast<int>(i);
  }
  return 0;
}

}  // namespace

CFlashPage2::CFlashPage2(AdapterList& adapters, QWidget* parent)
    : PropertyPage(parent), adapters_(adapters), lines_(std::make_unique<TextLines>()) {
  setWindowTitle(QStringLiteral("Flash"));

  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  // The list's own font with the flash face, so the dump's columns line up.
  QFont font = list_->font();
  font.setFamily(ResolveFontFamily(kListFace));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  list_->setFont(font);
  list_->setMinimumHeight(list_->fontMetrics().height() * 12);

  // One radio group: its box, its buttons, and what a click does.
  auto make_group = [this](FlashOptionGroup which, const char* title,
                           std::initializer_list<const char*> texts, QRadioButton** out,
                           bool across) {
    auto* box = new QGroupBox(QString::fromLatin1(title), this);
    QBoxLayout* layout = across ? static_cast<QBoxLayout*>(new QHBoxLayout(box))
                                : static_cast<QBoxLayout*>(new QVBoxLayout(box));
    int i = 0;
    for (const char* text : texts) {
      auto* button = new QRadioButton(QString::fromLatin1(text), box);
      layout->addWidget(button);
      connect(button, &QRadioButton::clicked, this, [this, which] { OnOptionClicked(which); });
      out[i++] = button;
    }
    layout->addStretch(1);
    // A hidden group keeps its place, as the controls of a dialog do.
    QSizePolicy policy = box->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    box->setSizePolicy(policy);
    groups_[static_cast<size_t>(which)] = box;
    return box;
  };
  QGroupBox* object = make_group(FlashOptionGroup::Object, "Select Object",
                                 {"Driver Private", "Serial Number", "Error Log"},
                                 object_buttons_.data(), false);
  QGroupBox* entry = make_group(FlashOptionGroup::Entry, "Error Log", {"0", "1", "2", "3"},
                                entry_buttons_.data(), true);
  QGroupBox* format = make_group(FlashOptionGroup::Format, "Data Format", {"Hex", "Ascii"},
                                 format_buttons_.data(), false);
  QGroupBox* order = make_group(FlashOptionGroup::Organization, "Data Organization",
                                {"Big Endian", "Little Endian"}, order_buttons_.data(), false);
  QGroupBox* size = make_group(FlashOptionGroup::Size, "Data Size", {"Byte", "Word", "Long"},
                               size_buttons_.data(), false);

  // The list takes the page's whole width and every line of height the
  // option groups, side by side in one row below it, leave.
  auto* layout = new QGridLayout(this);
  layout->addWidget(list_, 0, 0, 1, 6);
  int column = 0;
  for (QGroupBox* box : {object, entry, format, order, size}) layout->addWidget(box, 1, column++);
  layout->setRowStretch(0, 1);
  layout->setColumnStretch(5, 1);
  MinimumPageSize(this, kPageWidthUnits, kPageHeightUnits);

  // Initialisation: the first button of every group, then the driver
  // parameters in the list.
  for (QRadioButton* first : {object_buttons_[0], entry_buttons_[0], format_buttons_[0],
                              order_buttons_[0], size_buttons_[0]}) {
    first->setChecked(true);
  }
  ShowGroups();
  FillList();
}

CFlashPage2::~CFlashPage2() = default;

QRadioButton* CFlashPage2::objectButton(int i) const { return ButtonAt(object_buttons_, i); }
QRadioButton* CFlashPage2::entryButton(int i) const { return ButtonAt(entry_buttons_, i); }
QRadioButton* CFlashPage2::formatButton(int i) const { return ButtonAt(format_buttons_, i); }
QRadioButton* CFlashPage2::orderButton(int i) const { return ButtonAt(order_buttons_, i); }
QRadioButton* CFlashPage2::sizeButton(int i) const { return ButtonAt(size_buttons_, i); }

QGroupBox* CFlashPage2::group(FlashOptionGroup which) const {
  const auto i = static_cast<size_t>(which);
  return i < groups_.size() ? groups_[i] : nullptr;
}

FlashOptions CFlashPage2::Options() const {
  FlashOptions options;
  options.object = static_cast<FlashObject>(CheckedIndex(object_buttons_));
  options.entry = CheckedIndex(entry_buttons_);
  options.ascii = format_buttons_[1]->isChecked();
  options.order = order_buttons_[1]->isChecked() ? DumpOrder::Descending : DumpOrder::Ascending;
  switch (CheckedIndex(size_buttons_)) {
    case 1:
      options.grouping = DumpGrouping::Words;
      break;
    case 2:
      options.grouping = DumpGrouping::Longwords;
      break;
    default:
      options.grouping = DumpGrouping::Bytes;
      break;
  }
  return options;
}

void CFlashPage2::Refresh(int /*reload*/, int /*show*/) {
  if (adapters_.CurrentIndex() == filled_for_) return;
  revision_.Forget();
  FillList();
}

void CFlashPage2::ClearCounters() {}

void CFlashPage2::Print(PrintSurface& surface, int part) {
  if (part < kFirstFlashSheet || part > kLastFlashSheet) return;
  const std::string& revision = revision_.Get(adapters_);
  auto lines = std::make_unique<TextLines>();
  FlashSheetLines(adapters_, part, revision, lines.get());

  const int cell = part == kFirstFlashSheet ? kFirstSheetCellHeight : kErrorLogCellHeight;
  PrintFrame frame(surface, kFlashPrintTitle, std::time(nullptr), LucidaPrintFont(cell));
  const int lh = frame.LineHeight();
  for (int i = 0; i < lines->count(); ++i) {
    const std::string_view line = lines->line(i);
    if (line.empty()) continue;  // a line step without text
    const FlashPrintPlace place = FlashSheetPlace(i);
    frame.Text(place.column == 0 ? kLinesX : kSecondColumnX, kFirstLineY - place.row * lh, line);
  }
}

void CFlashPage2::OnOptionClicked(FlashOptionGroup group) {
  const FlashObject selected = Options().object;
  if (group == FlashOptionGroup::Object) ShowGroups();
  if (FlashOptionRefills(group, selected)) FillList();
}

void CFlashPage2::ShowGroups() {
  const FlashGroups shown = FlashGroupsFor(Options().object);
  const std::pair<FlashOptionGroup, bool> rules[] = {
      {FlashOptionGroup::Entry, shown.entry},
      {FlashOptionGroup::Format, shown.format},
      {FlashOptionGroup::Organization, shown.organization},
      {FlashOptionGroup::Size, shown.size},
  };
  for (const auto& [which, visible] : rules) {
    QGroupBox* box = groups_[static_cast<size_t>(which)];
    box->setVisible(visible);
    box->setEnabled(visible);
  }
}

void CFlashPage2::FillList() {
  const WaitCursor wait;
  list_->clear();
  filled_for_ = adapters_.CurrentIndex();
  FillFlashLines(adapters_, Options(), revision_.Get(adapters_), lines_.get());
  QStringList texts;
  texts.reserve(lines_->count());
  for (int i = 0; i < lines_->count(); ++i) texts.append(ToQString(lines_->line(i)));
  list_->addItems(texts);
  lines_->Clear();
}

}  // namespace quivera
