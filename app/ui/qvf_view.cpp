// The main view: property sheet, refresh cycle, hypertext server, printing.
#include "app/ui/qvf_view.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <chrono>
#include <cstdio>

#include "app/console_ui_services.h"
#include "app/ui/main_frame.h"
#include "app/ui/print_file.h"
#include "app/ui/print_sheets.h"
#include "app/ui/qt_print_surface.h"
#include "pages/property_page.h"
#include "present/registration_card.h"
#include "present/ui_services.h"
#include "settings/settings.h"
#include "web/hypertext_server.h"
#include "web/page_dispatch.h"

namespace quivera {

namespace {

constexpr char kCaption[] = "QUIVERA/FDDI";
constexpr int kMainTimerMs = 1000;
constexpr char kPrintFailedText[] = "The pages could not be printed.";
// How long a printout waits for values still on their way (a little longer
// than a driver request may take), and how often it looks for them.
constexpr auto kPrintValuesWait = std::chrono::seconds(12);
constexpr int kPrintRetryMs = 50;
constexpr char kCardPrintFailedText[] = "The registration card could not be printed.";

}  // namespace

CQVFView::CQVFView(CMainFrame& frame, UiServices& ui, bool sockets_ok, PageMaker make_page,
                   QWidget* parent)
    : QWidget(parent),
      frame_(frame),
      ui_(ui),
      sockets_ok_(sockets_ok),
      make_page_(std::move(make_page)),
      adapters_(std::make_unique<AdapterList>()) {
  main_timer_.setInterval(kMainTimerMs);
  main_timer_.setTimerType(Qt::CoarseTimer);
  connect(&main_timer_, &QTimer::timeout, this, &CQVFView::OnMainTimer);
}

CQVFView::~CQVFView() {
  // The lanes and the server's worker read the adapters and reach the
  // pages: they end before anything goes.
  if (adapters_) adapters_->StopBackgroundFetch();
  if (server_) server_->stop();
  main_timer_.stop();
  server_.reset();
  active_page_ = nullptr;
  // The pages (and the second Port page while out of the sheet) before the
  // adapter list they read.
  for (PropertyPage*& page : pages_) {
    if (page != nullptr && (sheet_ == nullptr || sheet_->indexOf(page) < 0)) delete page;
    page = nullptr;
  }
  delete sheet_;
  sheet_ = nullptr;
  cycle_.reset();
  adapters_.reset();
  no_wait_.reset();
}

bool CQVFView::Fail(const char* text) {
  ui_.Message(text, kCaption, MessageButtons::Ok, MessageIcon::Stop);
  return false;
}

bool CQVFView::Create(const Discovery& discover) {
  // Platform check, discovery, menu trim, driver checks, first sample.
  if (!discover || !discover(*adapters_)) return false;

  cycle_ = std::make_unique<RefreshCycle>(*adapters_, this);
  main_timer_.start();
  if (!main_timer_.isActive()) return Fail("Could Not Allocate MainTimer.");

  if (AppSettings().ClearFlash.load() == 0) frame_.RemoveClearFlash();

  sheet_ = new QTabWidget(this);
  sheet_->setObjectName(QStringLiteral("MainPropertySheet"));
  // Every tab title stays in view, as on a property sheet.
  sheet_->setUsesScrollButtons(false);
  sheet_->setElideMode(Qt::ElideNone);
  // A stored index the sheet does not have opens the first page.
  const int stored = AppSettings().ActivePage.load();
  const int initial = (stored >= 0 && stored < kSheetPages) ? stored : 0;

  for (const PageCreation& step : kPageCreationOrder) {
    PropertyPage* page = make_page_ ? make_page_(*adapters_, step.index) : nullptr;
    if (page == nullptr) return Fail(step.failure_text);
    pages_[static_cast<size_t>(step.index)] = page;
  }
  {
    const QSignalBlocker quiet(sheet_);
    for (int index = 0; index < kSheetPages; ++index) {
      sheet_->addTab(pages_[static_cast<size_t>(index)], QString::fromLatin1(SheetTabTitle(index)));
    }
  }
  connect(sheet_, &QTabWidget::currentChanged, this, &CQVFView::OnSheetChanged);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(sheet_);
  sheet_->show();
  ActivatePage(initial);

  // The frame takes the sheet's size (every tab title and the largest page
  // in view) and is centred.
  sheet_->ensurePolished();
  frame_.FitToClient(sheet_->sizeHint().expandedTo(sheet_->minimumSizeHint()));
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect placed = frame_.frameGeometry();
    placed.moveCenter(screen->availableGeometry().center());
    frame_.move(placed.topLeft());
  }

  // Every page but Performance builds its controls once, then the page that
  // was active comes back.
  const int before = active_index_;
  for (int index = 0; index < kSheetPages; ++index) {
    if (index != kPerformanceSheet) ActivatePage(index);
  }
  ActivatePage(before);

  // The builder runs on the server's worker, which starts only after server_
  // is set and ends before it is reset.
  facts_ = std::make_unique<SystemFacts>(SystemFacts::FromHost());
  server_ = std::make_unique<CHypertextServer>(
      [this](const std::string& upper_url, const std::string& peer) {
        return BuildAnswerBody(upper_url, *adapters_, server_->LastPortShown(), *facts_,
                               RemoteClient{[] { return SetOperationsAllowed(); }, peer});
      });
  server_->setName(kCaption);
  server_->setPort(AppSettings().WebPortID.load());
  // Where the pages are, or why there are none, for whoever started the
  // program from a terminal.
  server_->setListenReporter([](const ListenReport& report) {
    const std::string line = ConsoleMessageLine(ListenReportText(report, ""), kCaption) + "\n";
    std::fputs(line.c_str(), stderr);
  });
  return true;
}

void CQVFView::OnInitialUpdate() {
  if (initial_update_done_) return;
  initial_update_done_ = true;
  if (server_ && sockets_ok_ && WebServerEnabled()) server_->start();
}

void CQVFView::StartBackgroundFetch() {
  if (no_wait_) return;
  adapters_->StartBackgroundFetch(
      [this](std::function<void()> fn) {
        // Queued to this view: dropped with it if it goes first.
        QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
      },
      [this] { OnValuesArrived(); });
  no_wait_ = std::make_unique<NoWaitScope>();
}

void CQVFView::OnValuesArrived() {
  if (port_pages_pending_) AdjustPortPages();
  // Only a page that is still waiting is drawn again: values a page's own
  // timer asked for (a LED) arrive without a redraw of the whole page. A
  // page that found a value missing altogether (a Flash page choice) waits.
  if (redraw_pending_ || adapters_->NotYetAvailable() != unavailable_seen_) {
    RefreshActivePage(reload_pending_ ? 1 : 0, 1);
  }
}

void CQVFView::RefreshPage(PropertyPage* page, int reload, int show) {
  if (page == nullptr) return;
  const uint64_t missing = adapters_->NotYetFetched();
  page->Refresh(reload, show);
  const bool complete = adapters_->NotYetFetched() == missing;
  unavailable_seen_ = adapters_->NotYetAvailable();
  if (show == 0) return;
  redraw_pending_ = !complete;
  if (reload != 0) reload_pending_ = !complete;
}

PropertyPage* CQVFView::Page(int index) const {
  if (index < 0 || index >= kSheetPages) return nullptr;
  return pages_[static_cast<size_t>(index)];
}

void CQVFView::OnMainTimer() {
  // A browser's adapter choice makes another adapter current behind the
  // window's back; follow it like a menu choice, so that the title, the
  // check mark and the Port pages name the adapter the pages show.
  const int current = adapters_ ? adapters_->CurrentIndex() + 1 : 0;
  if (frame_.CheckedAdapter() != 0 && current != frame_.CheckedAdapter()) {
    frame_.SelectAdapter(current);
  }
  if (cycle_) cycle_->Tick();
}

void CQVFView::RefreshActivePage(int reload, int show) { RefreshPage(active_page_, reload, show); }

void CQVFView::ActivatePage(int index) {
  if (sheet_ == nullptr || index < 0 || index >= sheet_->count()) return;
  {
    const QSignalBlocker quiet(sheet_);
    sheet_->setCurrentIndex(index);
  }
  OnSheetChanged(index);
}

void CQVFView::OnSheetChanged(int tab) {
  auto* page = qobject_cast<PropertyPage*>(sheet_->widget(tab));
  if (page == nullptr) return;
  active_page_ = page;
  active_index_ = tab;
  RefreshPage(page, 1, 1);
  AppSettings().ActivePage.store(tab);
  if (QAction* clear = frame_.Action(FrameCommand::kClearCounters)) {
    clear->setEnabled(ClearCountersAllowed(tab));
  }
}

void CQVFView::AdjustPortPages() {
  if (sheet_ == nullptr) return;
  uint32_t ports = 0;
  const uint64_t missing = adapters_->NotYetFetched();
  const bool read = GetU32(*adapters_, ManagementItem::PortCount, &ports) == 0;
  // A count not fetched yet (or an earlier cycle's) is looked at again when
  // values arrive.
  port_pages_pending_ = adapters_->NotYetFetched() != missing;
  if (!read) return;
  PropertyPage* second = pages_[kPort1Sheet];
  if (ports == 1 && sheet_->count() == kSheetPages) {
    const bool was_active = sheet_->currentIndex() == kPort1Sheet;
    {
      const QSignalBlocker quiet(sheet_);
      sheet_->removeTab(kPort1Sheet);
    }
    // The page that was shown left the sheet: the first page takes its place.
    if (was_active) ActivatePage(kGeneralSheet);
  } else if (ports != 1 && sheet_->count() == kSheetPages - 1) {
    const QSignalBlocker quiet(sheet_);
    sheet_->addTab(second, QString::fromLatin1(SheetTabTitle(kPort1Sheet)));
  }
}

void CQVFView::OnPreferencesAccepted() {
  if (active_index_ != kPerformanceSheet) RefreshActivePage(1, 1);
  if (cycle_) cycle_->RestartCountdown();
  adapters_->SamplePerformance(AppSettings().RefreshRate);
}

void CQVFView::OnServerReconfigured() {
  if (!server_) return;
  server_->stop();
  server_->setPort(AppSettings().WebPortID.load());
  if (sockets_ok_ && WebServerEnabled()) server_->start();
}

void CQVFView::OnClearCounters() {
  if (active_page_ != nullptr && ClearCountersAllowed(active_index_)) {
    active_page_->ClearCounters();
  }
}

void CQVFView::OnFilePrint() {
  if (sheet_ == nullptr) return;
  const int last = PrintableSheets(sheet_->count());
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("QUIVERA/FDDI"));
  printer.setFromTo(1, last);
  int from = 1;
  int to = last;
  // "Current Page": the active page's sheets; the Performance page has none.
  int page_from = 0;
  int page_to = 0;
  const bool page_prints = SheetsOfPage(active_index_, &page_from, &page_to) && page_to <= last;
  if (print_setup_) {
    if (!print_setup_(printer, last, &from, &to)) return;
  } else {
    QPrintDialog dialog(&printer, &frame_);
    SuggestPrintFile(dialog);
    dialog.setMinMax(1, last);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, page_prints);
    if (dialog.exec() != QDialog::Accepted) return;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
      from = printer.fromPage();
      to = printer.toPage();
    }
  }
  if (printer.printRange() == QPrinter::CurrentPage) {
    if (!page_prints) return;  // nothing of this page is printed
    from = page_from;
    to = page_to;
  }
  if (!PrintSheets(printer, from, to)) {
    ui_.Message(kPrintFailedText, kCaption, MessageButtons::Ok, MessageIcon::Warning);
    return;
  }
  ui_.Message(PrintDoneText(printer), kCaption, MessageButtons::Ok, MessageIcon::Information);
}

void CQVFView::OnPrintRegistrationCard() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("QUIVERA/FDDI Registration Card"));
  int from = 1;
  int to = 1;
  if (print_setup_) {
    if (!print_setup_(printer, 1, &from, &to)) return;
  } else {
    QPrintDialog dialog(&printer, &frame_);
    // The card's document name holds a '/' too.
    SuggestPrintFile(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
  }
  QPainter painter;
  bool printed = painter.begin(&printer);
  if (printed) {
    QtPrintSurface surface(painter);
    PrintRegistrationCard(surface, AppSettings(), std::time(nullptr));
    printed = painter.end();
  }
  if (!printed) {
    ui_.Message(kCardPrintFailedText, kCaption, MessageButtons::Ok, MessageIcon::Warning);
    return;
  }
  ui_.Message(PrintDoneText(printer), kCaption, MessageButtons::Ok, MessageIcon::Information);
}

bool CQVFView::PrintSheets(QPrinter& printer, int from, int to) {
  if (sheet_ == nullptr) return false;
  const int last = PrintableSheets(sheet_->count());
  if (from < 1 || to > last || from > to) return false;
  // A printout shows the adapter's own answers: a sheet whose values are not
  // all fetched yet is refreshed again once more of them have arrived. The
  // window keeps running meanwhile (the wait runs its event loop), stays on
  // the adapter it prints, and gives up waiting after the driver's own
  // timeout, printing what it has.
  const AdapterList::Pin pin(*adapters_);
  const auto deadline = std::chrono::steady_clock::now() + kPrintValuesWait;
  ui_.Busy(true);
  QPainter painter;
  if (!painter.begin(&printer)) {
    ui_.Busy(false);
    return false;
  }
  for (int sheet = from; sheet <= to; ++sheet) {
    if (sheet > from) printer.newPage();
    SheetContent content{};
    if (!ContentOfSheet(sheet, &content)) continue;
    PropertyPage* page = nullptr;
    for (;;) {
      // Looked up again after every wait: the Port pages follow a port
      // count that arrives meanwhile.
      page = Page(content.page_index);
      if (page == nullptr) break;
      const uint64_t missing = adapters_->NotYetFetched();
      page->Refresh(content.reload, 0);
      if (adapters_->NotYetFetched() == missing || std::chrono::steady_clock::now() >= deadline)
        break;
      ui_.Wait(kPrintRetryMs);
    }
    if (page == nullptr) continue;
    // A sheet wider or longer than the paper's printable area is drawn
    // smaller as a whole rather than cut at the edge.
    PrintSheetFitted(painter, PrintableArea(printer),
                     [&](PrintSurface& surface) { page->Print(surface, content.part); });
  }
  ui_.Busy(false);
  return painter.end();
}

}  // namespace quivera
