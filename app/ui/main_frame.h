// The program's only top-level window: title, menu, the choice of the current
// adapter and the commands that act on the whole adapter or open the dialogs.
// The view fills the client area and gives the frame its fixed size.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

#include "adapter/adapter_list.h"
#include "app/ui/command_worker.h"
#include "app/ui/dialog_factory.h"
#include "flash/firmware_download.h"

class QMenu;
class QTimer;

namespace quivera {

class CQVFView;
class CHelpWindow;
class UiServices;

// The frame's commands, one per menu entry (Adapter entries aside).
enum class FrameCommand {
  kPrint,
  kExportErrorLog,
  kExit,
  kPreferences,
  kWebServer,
  kFirmwareUpgrade,
  kResetAdapter,
  kClearCounters,
  kClearFlash,
  kRegistrationCard,
  kHelpContents,
  kHelpSearch,
  kHelpUsing,
  kAbout,
};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // "QUIVERA/FDDI".
  static const QString& ApplicationTitle();

  // 'ui' answers the frame's questions (reset) and must outlive the frame.
  explicit CMainFrame(UiServices& ui, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Makes 'view' the client area; the frame does not own it before this.
  void SetView(CQVFView* view);
  CQVFView* View() const;

  // Makes adapter n (1..16) current, adjusts the view's second Port page,
  // sets the title to "QUIVERA/FDDI - Adapter n", refreshes the active page
  // in full and moves the check mark to entry n. Does nothing when there is
  // no view or no adapter n.
  void SelectAdapter(int n);
  // Removes the Adapter entries above 'count' (16 removes nothing).
  void TrimAdapterMenu(int count);
  // Removes "Clear Flas&h..." from the Options menu.
  void RemoveClearFlash();

  // Fixes the window to 'client' (the property sheet's size) plus the menu and
  // status bars; the window is then neither resizable nor maximisable.
  void FitToClient(const QSize& client);

  // The action of a command; nullptr once it was removed from its menu.
  QAction* Action(FrameCommand command) const;
  // The Adapter entry for adapter n (1..16); nullptr once removed.
  QAction* AdapterAction(int n) const;
  // The adapter whose entry carries the check mark (0: none yet).
  int CheckedAdapter() const { return checked_adapter_; }

  // The dialogs the Options menu opens. By default they are the program's own
  // Preferences and Hypertext Server Configuration dialogs; a test may put
  // something else in place. Each returns true when the dialog ended with OK.
  // An empty runner greys the entry.
  void SetPreferencesDialog(DialogRunner run);
  void SetWebServerDialog(DialogRunner run);
  // The registration card dialog (by default the program's own, printing
  // through the view).
  void SetRegistrationDialog(DialogRunner run);

  // True while a firmware download runs: the commands that would act on the
  // adapter under it (another upgrade, reset, Clear Flash, the export, the
  // adapter choice) are refused until it ends, and closing the window is put
  // off until then (the status bar says so).
  bool DownloadRunning() const { return download_running_; }
  // True while a command's flow (reset, Clear Flash, the export, the upgrade's
  // questions) runs on its own thread: the same commands, the adapter choice
  // and Exit are greyed, and closing the window is put off until it ends.
  // A printout does the same while it waits for its values.
  bool CommandRunning() const { return command_->Running(); }
  // How a download lets its pauses pass (by default it sleeps its worker
  // thread); a test may shorten them.
  void SetDownloadPause(DownloadPause pause) { download_pause_ = std::move(pause); }

  // The help window, created on first use.
  CHelpWindow* Help();

 public slots:
  void OnResetAdapter();
  void OnFirmwareUpgrade();
  void OnClearFlash();
  void OnExportErrorLog();
  void OnRegistrationCard();
  void OnPreferences();
  void OnWebServer();
  void OnHelpContents();
  void OnHelpSearch();
  void OnHelpUsing();
  void OnAbout();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void UpdateTitle(int adapter_number);
  void SetDownloadRunning(bool running);
  // Greys or restores the commands that act on the adapter, after a download
  // or a command started or ended; a close put off meanwhile comes now.
  void UpdateAdapterCommands();
  bool AdapterBusy() const { return download_running_ || printing_ || CommandRunning(); }
  // Runs 'flow' on the command worker for the current adapter; 'finished'
  // (may be empty) runs on this thread when it has ended.
  void StartCommand(CommandWorker::Flow flow, std::function<void()> finished = {});
  void PollDownload();

  UiServices& ui_;
  QPointer<CQVFView> view_;
  QMenu* adapter_menu_ = nullptr;
  QMenu* options_menu_ = nullptr;
  std::array<QPointer<QAction>, 14> commands_;
  std::array<QPointer<QAction>, AdapterList::kMaxAdapters> adapters_;
  int checked_adapter_ = 0;
  DialogRunner run_preferences_;
  DialogRunner run_web_server_;
  DialogRunner run_registration_;
  bool download_running_ = false;
  bool printing_ = false;  // File > Print is under way
  bool close_pending_ = false;  // closing was asked for during a download or command
  std::unique_ptr<FirmwareDownload> download_;
  DownloadPause download_pause_ = SleepPause;
  QTimer* download_timer_ = nullptr;
  QPointer<CHelpWindow> help_;
  // Last, so that a flow still running ends before anything above goes.
  std::unique_ptr<CommandWorker> command_;
};

}  // namespace quivera
