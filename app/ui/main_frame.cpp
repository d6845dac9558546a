// The main frame: menus, title, adapter choice and the frame's commands.
#include "app/ui/main_frame.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include "app/ui/about_dialog.h"
#include "app/ui/dialog_factory.h"
#include "app/ui/help_window.h"
#include "app/ui/indicator_icons.h"
#include "app/ui/qvf_view.h"
#include "flash/error_log_export.h"
#include "flash/firmware_upgrade.h"
#include "flash/flash_clear.h"
#include "flash/reset_command.h"
#include "settings/settings.h"

namespace quivera {

namespace {

enum class Menu { kFile, kOptions, kHelp };

struct MenuEntry {
  Menu menu;
  FrameCommand command;  // ignored for separators
  const char* text;      // nullptr: a separator
  const char* shortcut;  // nullptr: none
  const char* prompt;    // the status-bar prompt
  bool enabled;          // false: present but greyed
};

// The File, Options and Help menus in the order they show. The Adapter menu
// is built from the adapter count.
constexpr MenuEntry kMenuEntries[] = {
    {Menu::kFile, FrameCommand::kPrint, "&Print...", "Ctrl+P",
     "Print the pages of the current adapter", true},
    {Menu::kFile, FrameCommand::kExportErrorLog, "&Export Error Log...", nullptr,
     "write error log contents to file", true},
    {Menu::kFile, FrameCommand::kExit, "E&xit", nullptr, "Quit the application", true},
    {Menu::kOptions, FrameCommand::kPreferences, "&Preferences...", nullptr,
     "Change the refresh rate, captions, address forms and set operations", true},
    {Menu::kOptions, FrameCommand::kWebServer, "&Web Server...", nullptr,
     "Configure the hypertext server", true},
    {Menu::kOptions, FrameCommand::kFirmwareUpgrade, "&Firmware Upgrade", nullptr,
     "Load a new firmware image into the adapter", true},
    {Menu::kOptions, FrameCommand::kResetAdapter, "Reset &Adapter...", nullptr,
     "Reset the current adapter", true},
    {Menu::kOptions, FrameCommand::kClearCounters, "&Clear Counters", nullptr,
     "Start the counters of this page from zero", true},
    {Menu::kOptions, FrameCommand::kClearFlash, "Clear Flas&h...", nullptr,
     "Clear areas of the adapter's flash memory", true},
    {Menu::kOptions, FrameCommand::kRegistrationCard, "&Registration Card", nullptr,
     "Fill in and print the product registration card", true},
    {Menu::kHelp, FrameCommand::kHelpContents, "&Contents", nullptr, "List the help topics", true},
    {Menu::kHelp, FrameCommand::kHelpSearch, "&Search...", nullptr, "Search the help for a word",
     true},
    {Menu::kHelp, FrameCommand::kHelpUsing, "How to Use Help", nullptr,
     "How to use the help window", true},
    {Menu::kHelp, FrameCommand::kAbout, nullptr, nullptr, nullptr, true},  // separator
    {Menu::kHelp, FrameCommand::kAbout, "&About QUIVERA/FDDI...", nullptr,
     "Show the program's version and build", true},
};

size_t Slot(FrameCommand command) { return static_cast<size_t>(command); }

// How often the window passes a download's progress on.
constexpr int kDownloadPollMs = 50;
constexpr char kClosePutOffText[] =
    "A firmware download is running: the window closes when it ends.";
constexpr char kCloseAfterCommandText[] = "A command is running: the window closes when it ends.";

}  // namespace

const QString& CMainFrame::ApplicationTitle() {
  static const QString title = QStringLiteral("QUIVERA/FDDI");
  return title;
}

CMainFrame::CMainFrame(UiServices& ui, QWidget* parent)
    : QMainWindow(parent),
      ui_(ui),
      run_preferences_(DefaultPreferencesDialog(ui)),
      run_web_server_(DefaultWebServerDialog(ui)),
      run_registration_(DefaultRegistrationDialog(
          [this] {
            if (view_) view_->OnPrintRegistrationCard();
          },
          [this] {
            if (!view_) return AdapterIdentity{};
            AdapterList& adapters = view_->Adapters();
            return ReadAdapterIdentity(adapters, adapters.CurrentIndex());
          })) {
  setObjectName(QStringLiteral("QVFDDI"));
  // Caption, system menu and minimize box; no maximize box, no sizing border.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(ApplicationTitle());
  setWindowIcon(IndicatorIcon(Indicator::Application));
  BuildMenus();
  Action(FrameCommand::kPreferences)->setEnabled(static_cast<bool>(run_preferences_));
  Action(FrameCommand::kWebServer)->setEnabled(static_cast<bool>(run_web_server_));
  command_ = std::make_unique<CommandWorker>(this, ui_);
  download_timer_ = new QTimer(this);
  download_timer_->setInterval(kDownloadPollMs);
  connect(download_timer_, &QTimer::timeout, this, &CMainFrame::PollDownload);
  statusBar()->setSizeGripEnabled(false);
  statusBar()->showMessage(QStringLiteral("Ready"));
  // A menu entry's prompt replaces "Ready" while the entry is highlighted;
  // when the prompt goes, "Ready" comes back.
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
    if (text.isEmpty()) statusBar()->showMessage(QStringLiteral("Ready"));
  });
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  adapter_menu_ = menuBar()->addMenu(QStringLiteral("&Adapter"));
  options_menu_ = menuBar()->addMenu(QStringLiteral("&Options"));
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));

  for (const MenuEntry& entry : kMenuEntries) {
    QMenu* menu = entry.menu == Menu::kFile      ? file
                  : entry.menu == Menu::kOptions ? options_menu_
                                                 : help;
    if (entry.text == nullptr) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromLatin1(entry.text));
    if (entry.shortcut != nullptr) action->setShortcut(QKeySequence(entry.shortcut));
    action->setStatusTip(QString::fromLatin1(entry.prompt));
    action->setEnabled(entry.enabled);
    commands_[Slot(entry.command)] = action;
  }

  for (int n = 1; n <= AdapterList::kMaxAdapters; ++n) {
    QAction* action = adapter_menu_->addAction(QStringLiteral("Adapter %1").arg(n));
    action->setCheckable(true);
    action->setStatusTip(QStringLiteral("Show adapter %1").arg(n));
    connect(action, &QAction::triggered, this, [this, n] { SelectAdapter(n); });
    adapters_[static_cast<size_t>(n - 1)] = action;
  }

  connect(Action(FrameCommand::kExit), &QAction::triggered, this, &QWidget::close);
  connect(Action(FrameCommand::kPrint), &QAction::triggered, this, [this] {
    // A printout waits for its values with the window running: meanwhile it
    // keeps its adapter, like the commands that act on it.
    if (!view_ || printing_) return;
    printing_ = true;
    UpdateAdapterCommands();
    view_->OnFilePrint();
    printing_ = false;
    UpdateAdapterCommands();
  });
  connect(Action(FrameCommand::kClearCounters), &QAction::triggered, this, [this] {
    if (view_) view_->OnClearCounters();
  });
  connect(Action(FrameCommand::kPreferences), &QAction::triggered, this,
          &CMainFrame::OnPreferences);
  connect(Action(FrameCommand::kWebServer), &QAction::triggered, this, &CMainFrame::OnWebServer);
  connect(Action(FrameCommand::kResetAdapter), &QAction::triggered, this,
          &CMainFrame::OnResetAdapter);
  connect(Action(FrameCommand::kFirmwareUpgrade), &QAction::triggered, this,
          &CMainFrame::OnFirmwareUpgrade);
  connect(Action(FrameCommand::kClearFlash), &QAction::triggered, this, &CMainFrame::OnClearFlash);
  connect(Action(FrameCommand::kExportErrorLog), &QAction::triggered, this,
          &CMainFrame::OnExportErrorLog);
  connect(Action(FrameCommand::kRegistrationCard), &QAction::triggered, this,
          &CMainFrame::OnRegistrationCard);
  connect(Action(FrameCommand::kHelpContents), &QAction::triggered, this,
          &CMainFrame::OnHelpContents);
  connect(Action(FrameCommand::kHelpSearch), &QAction::triggered, this, &CMainFrame::OnHelpSearch);
  connect(Action(FrameCommand::kHelpUsing), &QAction::triggered, this, &CMainFrame::OnHelpUsing);
  connect(Action(FrameCommand::kAbout), &QAction::triggered, this, &CMainFrame::OnAbout);
}

QAction* CMainFrame::Action(FrameCommand command) const { return commands_[Slot(command)]; }

QAction* CMainFrame::AdapterAction(int n) const {
  if (n < 1 || n > AdapterList::kMaxAdapters) return nullptr;
  return adapters_[static_cast<size_t>(n - 1)];
}

CQVFView* CMainFrame::View() const { return view_.data(); }

void CMainFrame::SetView(CQVFView* view) {
  view_ = view;
  setCentralWidget(view);
}

void CMainFrame::SelectAdapter(int n) {
  if (!view_ || AdapterAction(n) == nullptr) return;
  if (view_->Adapters().SetCurrent(n - 1) != 0) {
    // No such adapter: leave the check mark where it was.
    if (QAction* entry = AdapterAction(n)) entry->setChecked(n == checked_adapter_);
    return;
  }
  // The pages show the adapter chosen here, even when a browser chooses
  // another one meanwhile.
  const AdapterList::Pin pin(view_->Adapters(), n - 1);
  view_->AdjustPortPages();
  UpdateTitle(n);
  view_->RefreshActivePage();
  if (QAction* previous = AdapterAction(checked_adapter_)) previous->setChecked(false);
  AdapterAction(n)->setChecked(true);
  checked_adapter_ = n;
}

void CMainFrame::UpdateTitle(int adapter_number) {
  setWindowTitle(QStringLiteral("%1 - Adapter %2").arg(ApplicationTitle()).arg(adapter_number));
}

void CMainFrame::TrimAdapterMenu(int count) {
  for (int n = std::max(count, 0) + 1; n <= AdapterList::kMaxAdapters; ++n) {
    QPointer<QAction>& entry = adapters_[static_cast<size_t>(n - 1)];
    if (!entry) continue;
    adapter_menu_->removeAction(entry);
    delete entry.data();
    if (checked_adapter_ == n) checked_adapter_ = 0;
  }
}

void CMainFrame::RemoveClearFlash() {
  QPointer<QAction>& entry = commands_[Slot(FrameCommand::kClearFlash)];
  if (!entry) return;
  options_menu_->removeAction(entry);
  delete entry.data();
}

void CMainFrame::FitToClient(const QSize& client) {
  if (QWidget* central = centralWidget()) central->setFixedSize(client);
  if (layout() != nullptr) layout()->activate();
  setFixedSize(sizeHint());
}

void CMainFrame::StartCommand(CommandWorker::Flow flow, std::function<void()> finished) {
  AdapterList& adapters = view_->Adapters();
  command_->Start(adapters, adapters.CurrentIndex(), std::move(flow),
                  [this, finished = std::move(finished)] {
                    if (finished) finished();
                    UpdateAdapterCommands();
                  });
  UpdateAdapterCommands();
}

void CMainFrame::OnResetAdapter() {
  if (!view_ || AdapterBusy()) return;
  const bool sets_allowed = SetOperationsAllowed(AppSettings());
  StartCommand([sets_allowed](AdapterList& adapters, UiServices& ui) {
    ResetAdapterCommand(adapters, ui, sets_allowed);
  });
}

void CMainFrame::SetDownloadRunning(bool running) {
  download_running_ = running;
  UpdateAdapterCommands();
}

void CMainFrame::UpdateAdapterCommands() {
  const bool busy = AdapterBusy();
  if (!busy && close_pending_) {
    close_pending_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
  for (FrameCommand command :
       {FrameCommand::kFirmwareUpgrade, FrameCommand::kResetAdapter, FrameCommand::kClearFlash,
        FrameCommand::kExportErrorLog, FrameCommand::kExit}) {
    if (QAction* action = Action(command)) action->setEnabled(!busy);
  }
  for (const QPointer<QAction>& entry : adapters_) {
    if (entry) entry->setEnabled(!busy);
  }
}

void CMainFrame::OnFirmwareUpgrade() {
  if (!view_ || AdapterBusy()) return;
  // Refused while the questions are open, too: they are about this adapter.
  SetDownloadRunning(true);
  const bool sets_allowed = SetOperationsAllowed(AppSettings());
  auto started = std::make_shared<std::unique_ptr<FirmwareDownload>>();
  StartCommand(
      [started, sets_allowed, pause = download_pause_](AdapterList& adapters, UiServices& ui) {
        *started = FirmwareUpgradeCommand(adapters, ui, sets_allowed, pause);
      },
      [this, started] {
        download_ = std::move(*started);
        if (!download_) {
          SetDownloadRunning(false);
          return;
        }
        // The driver steps run on the download's own thread; the window
        // stays alive and only passes the progress on.
        download_timer_->start();
      });
}

void CMainFrame::PollDownload() {
  if (!download_ || !download_->Poll(ui_)) return;
  download_timer_->stop();
  download_.reset();
  SetDownloadRunning(false);
}

void CMainFrame::OnClearFlash() {
  if (!view_ || AdapterBusy()) return;
  const bool sets_allowed = SetOperationsAllowed(AppSettings());
  StartCommand([sets_allowed](AdapterList& adapters, UiServices& ui) {
    ClearFlashCommand(adapters, ui, sets_allowed);
  });
}

void CMainFrame::OnExportErrorLog() {
  if (!view_ || AdapterBusy()) return;
  StartCommand([](AdapterList& adapters, UiServices& ui) { ExportErrorLogCommand(adapters, ui); });
}

void CMainFrame::OnRegistrationCard() {
  if (run_registration_) run_registration_(this);
}

void CMainFrame::OnPreferences() {
  if (!run_preferences_) return;
  if (run_preferences_(this) && view_) view_->OnPreferencesAccepted();
}

void CMainFrame::OnWebServer() {
  if (!run_web_server_) return;
  if (run_web_server_(this) && view_) view_->OnServerReconfigured();
}

void CMainFrame::SetPreferencesDialog(DialogRunner run) {
  run_preferences_ = std::move(run);
  Action(FrameCommand::kPreferences)->setEnabled(static_cast<bool>(run_preferences_));
}

void CMainFrame::SetWebServerDialog(DialogRunner run) {
  run_web_server_ = std::move(run);
  Action(FrameCommand::kWebServer)->setEnabled(static_cast<bool>(run_web_server_));
}

void CMainFrame::SetRegistrationDialog(DialogRunner run) {
  run_registration_ = std::move(run);
  Action(FrameCommand::kRegistrationCard)->setEnabled(static_cast<bool>(run_registration_));
}

CHelpWindow* CMainFrame::Help() {
  if (!help_) help_ = new CHelpWindow(this);
  return help_;
}

void CMainFrame::OnHelpContents() { Help()->ShowContents(); }
void CMainFrame::OnHelpSearch() { Help()->ShowSearch(QString()); }
void CMainFrame::OnHelpUsing() { Help()->ShowUsingHelp(); }

void CMainFrame::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The download or command runs on this window's adapters: it ends before
  // they go.
  if (AdapterBusy()) {
    close_pending_ = true;
    statusBar()->showMessage(
        QString::fromLatin1(download_running_ ? kClosePutOffText : kCloseAfterCommandText));
    event->ignore();
    return;
  }
  if (help_) help_->close();
  event->accept();
}

}  // namespace quivera
