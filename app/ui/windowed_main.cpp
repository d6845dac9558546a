// The windowed program: the application object, the single-instance check,
// then start-up, the event loop and exit (windowed_app.h).
#include "app/ui/windowed_main.h"

// Before the toolkit's headers, whose "signals" keyword would rename its
// parameter.
#include "app/tick_loop.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QStatusBar>
#include <memory>
#include <string>

#include "adapter/socket_driver_channel.h"
#include "app/change_sinks.h"
#include "app/options.h"
#include "app/startup.h"
#include "app/ui/main_frame.h"
#include "dialogs/qt_ui_services.h"
#include "app/ui/single_instance.h"
#include "app/ui/windowed_app.h"
#include "app/ui/windowed_signals.h"
#include "app/ui/qvf_view.h"
#include "settings/settings.h"
#include "snmp/agentx_subagent.h"
#include "web/metrics_listener.h"

namespace quivera {

namespace {

// How long a change stays in the status bar before "Ready" comes back.
constexpr int kChangeShownMs = 10000;

// A sink showing each line in 'bar' for a while. Lines come from any thread;
// they are handed to the window's thread, and one that arrives after the bar
// is gone is dropped.
ChangeSink StatusBarChangeSink(QStatusBar* bar) {
  return [guard = QPointer<QStatusBar>(bar), bar](const std::string& line) {
    const QString text = QString::fromStdString(line);
    QMetaObject::invokeMethod(
        bar,
        [guard, text] {
          if (guard) guard->showMessage(text, kChangeShownMs);
        },
        Qt::QueuedConnection);
  };
}

}  // namespace

int RunWindowed(int argc, char** argv, const Options& options) {
  // Before the toolkit starts any thread, so that every thread inherits the
  // blocked signals and they arrive only through the descriptor.
  StopSignals stop;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("QUIVERA/FDDI"));
  QApplication::setApplicationVersion(QStringLiteral("1.1"));

  SingleInstance instance;
  // A later copy brings this one to the front and changes nothing, not even
  // the settings file.
  if (!instance.Claim()) return 0;

  QtUiServices ui;
  WindowedApp program(ui, options.settings_path, options.test_mode,
                      MakeSocketChannelOpener(options.device_dir));
  // Connected before start-up, so that a copy started while this one still
  // shows a start-up message brings that message forward.
  QObject::connect(&instance, &SingleInstance::activationRequested, &app,
                   [&program] { BringToFront(program.Frame()); });
  // A stop signal closes the window and ends the event loop, so the run ends
  // through the normal exit below with the settings written.
  bool stop_asked = false;
  const WindowedStopSignals stop_watch(stop.fd(), [&program, &stop_asked] {
    stop_asked = true;
    CloseForStop(program.Frame());
  });
  if (!stop.ok()) {
    ui.Message(stop.error(), kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
  }
  // The change record goes to the system log and the file asked for from
  // the start, and to the status bar while the window is there.
  std::string record_warning;
  std::vector<ChangeSink> sinks =
      ProgramChangeSinks(SystemSyslogWriter(), nullptr, options.change_log, &record_warning);
  const InstalledChangeSinks record(sinks);
  int status = 1;
  std::unique_ptr<AgentxSubagent> agent;
  std::unique_ptr<MetricsListener> metrics;
  std::unique_ptr<InstalledChangeSinks> record_in_window;
  if (program.Start()) {
    ui.SetMainWindow(program.Frame());
    if (!record_warning.empty()) {
      ui.Message(record_warning, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
    }
    sinks.push_back(StatusBarChangeSink(program.Frame()->statusBar()));
    record_in_window = std::make_unique<InstalledChangeSinks>(sinks);
    if (!options.metrics.empty()) {
      metrics = std::make_unique<MetricsListener>(program.View()->Adapters());
      // Told once, on the listener's thread: only a failure is worth a message.
      // The frame is the message's context: it goes before 'ui' does.
      CMainFrame* frame = program.Frame();
      metrics->Start(options.metrics_address, [&ui, &options, frame](const ListenReport& report) {
        if (report.error == 0) return;
        const std::string text = MetricsListenText(options.metrics_address, report);
        QMetaObject::invokeMethod(
            frame,
            [&ui, text] {
              ui.Message(text, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
            },
            Qt::QueuedConnection);
      });
    }
    if (options.agentx) {
      agent = std::make_unique<AgentxSubagent>(program.View()->Adapters(),
                                               [] { return SetOperationsAllowed(); });
      std::string error;
      if (!agent->Start(options.agentx_socket, &error)) {
        ui.Message(error, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
      }
    }
    // A signal that came during start-up has already asked for the end.
    status = stop_asked ? 0 : QApplication::exec();
    ui.SetMainWindow(nullptr);
  }
  agent.reset();  // stopped before the adapters go
  metrics.reset();
  record_in_window.reset();  // the status bar goes with the window
  // Settings that could not be written are an error of the run.
  if (!program.Exit().ok && status == 0) status = 1;
  return status;
}

}  // namespace quivera
