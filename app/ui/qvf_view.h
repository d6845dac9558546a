// The main view: fills the frame with the property sheet, owns the adapter
// list, the pages, the one-second main timer and the hypertext server, runs
// the refresh cycle and prints the pages.
//
// Once StartBackgroundFetch has run, the window's thread never waits on a
// driver: the pages read what the adapters' lanes have fetched, a value not
// there yet is asked for, and the active page is drawn again when values
// arrive (many arrivals, one redraw).
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "adapter/adapter_list.h"
#include "adapter/no_wait_scope.h"
#include "app/refresh_cycle.h"
#include "app/ui/page_factory.h"

class QPrinter;
class QTabWidget;

namespace quivera {

class CHypertextServer;
struct SystemFacts;
class CMainFrame;
class PropertyPage;
class UiServices;

class CQVFView : public QWidget, public ActivePageTarget {
  Q_OBJECT

 public:
  // Fills the (empty) adapter list: platform check, discovery, the menu trim
  // and the driver checks, showing its own messages. Returns true when the
  // program can go on with the list.
  using Discovery = std::function<bool(AdapterList& adapters)>;
  // Replaces the print dialog (tests, printing to a file): sets up 'printer'
  // and the sheet range within 1..'last' and returns true to print, false to
  // cancel.
  using PrintSetup = std::function<bool(QPrinter& printer, int last, int* from, int* to)>;

  // 'frame' and 'ui' must outlive the view. 'sockets_ok' says whether the
  // hypertext server may ever be started in this run. 'make_page' builds the
  // pages (the program's own by default).
  CQVFView(CMainFrame& frame, UiServices& ui, bool sockets_ok,
           PageMaker make_page = MakeProgramPage, QWidget* parent = nullptr);
  // Stops the hypertext server and the timer, then deletes the server, the
  // pages and the adapter list, in that order.
  ~CQVFView() override;

  // Builds everything: discovery, main timer, the pages and the sheet, the
  // frame's size, the first activation of every page, the hypertext server.
  // On failure the reason was shown (stop icon) and false is returned; the
  // view must then be deleted.
  bool Create(const Discovery& discover);

  // The first showing: starts the hypertext server when "WebServerEnable" is
  // non-zero and sockets are available.
  void OnInitialUpdate();

  // From now on the window's thread reads the adapters through their
  // background lanes and waits on none of them (see the top of this file).
  // Call once, on the window's thread, after Create.
  void StartBackgroundFetch();
  // Values arrived from the lanes: a port count that was not there at an
  // adapter switch adjusts the Port pages now, and the active page is drawn
  // again, reloading its editable fields when the last reload could not.
  void OnValuesArrived();

  AdapterList& Adapters() { return *adapters_; }
  QTabWidget* Sheet() const { return sheet_; }
  // The page of sheet index 'index' (also the second Port page while it is
  // out of the sheet); nullptr before Create or outside 0..8.
  PropertyPage* Page(int index) const;
  // Sheet index of the active page; -1 before the first activation.
  int ActiveIndex() const { return active_index_; }
  CHypertextServer* Server() const { return server_.get(); }
  const QTimer& MainTimer() const { return main_timer_; }

  // One tick of the main timer (the refresh step).
  void OnMainTimer();

  // Makes sheet index 'index' the visible page and runs its activation.
  void ActivatePage(int index);

  // After an adapter switch: takes the second Port page out of the sheet when
  // the current adapter has one port, puts it back when it has two. Leaves
  // the sheet alone when the port count cannot be read.
  void AdjustPortPages();
  // Refresh (1, 1) on the active page (after an adapter switch).
  void RefreshActivePage() { RefreshActivePage(1, 1); }

  // After the Preferences dialog ended with OK.
  void OnPreferencesAccepted();
  // After the Hypertext Server Configuration dialog ended with OK.
  void OnServerReconfigured();
  // "&Clear Counters".
  void OnClearCounters();

  // "&Print...": the print dialog (or the PrintSetup in its place), then the
  // chosen sheets, then the notice that printing was sent.
  void OnFilePrint();
  void SetPrintSetup(PrintSetup setup) { print_setup_ = std::move(setup); }
  // The registration card's Print button: the print dialog (or the
  // PrintSetup), then the card from the settings on one sheet, then the
  // notice that printing was sent.
  void OnPrintRegistrationCard();
  // Prints sheets 'from'..'to' on 'printer', one printer page each. Returns
  // false (nothing printed) when the range is outside what the sheet offers
  // or the printer cannot be opened.
  bool PrintSheets(QPrinter& printer, int from, int to);

  // ActivePageTarget.
  bool HasActivePage() const override { return active_page_ != nullptr; }
  void RefreshActivePage(int reload, int show) override;

 private:
  bool Fail(const char* text);
  void OnSheetChanged(int tab);
  // Refresh (reload, show) on 'page', noting a reload that found values
  // not fetched yet, to be done again when they arrive.
  void RefreshPage(PropertyPage* page, int reload, int show);

  CMainFrame& frame_;
  UiServices& ui_;
  const bool sockets_ok_;
  PageMaker make_page_;
  PrintSetup print_setup_;

  // Declared first so that it goes last.
  std::unique_ptr<AdapterList> adapters_;
  std::unique_ptr<RefreshCycle> cycle_;
  std::unique_ptr<SystemFacts> facts_;  // the System page's host facts
  std::unique_ptr<CHypertextServer> server_;
  QTimer main_timer_;
  QTabWidget* sheet_ = nullptr;
  std::array<PropertyPage*, kSheetPages> pages_{};
  PropertyPage* active_page_ = nullptr;
  int active_index_ = -1;
  bool initial_update_done_ = false;
  // The window's thread reads without waiting while this lives.
  std::unique_ptr<NoWaitScope> no_wait_;
  // What the last drawing of the active page could not show yet.
  bool redraw_pending_ = false;
  bool reload_pending_ = false;
  bool port_pages_pending_ = false;
  uint64_t unavailable_seen_ = 0;
};

}  // namespace quivera
