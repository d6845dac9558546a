// The windowed program: the application object, the single-instance check,
// then start-up, the event loop and exit (windowed_app.h).
#include "app/ui/windowed_main.h"

// Before the toolkit's headers, whose "signals" keyword would rename its
// parameter.
#include "app/tick_loop.h"

#include <QApplication>
#include <memory>
#include <string>

#include "adapter/socket_driver_channel.h"
#include "app/options.h"
#include "app/startup.h"
#include "app/ui/main_frame.h"
#include "dialogs/qt_ui_services.h"
#include "app/ui/single_instance.h"
#include "app/ui/windowed_app.h"
#include "app/ui/windowed_signals.h"
#include "app/ui/qvf_view.h"
#include "snmp/agentx_subagent.h"

namespace quivera {

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
  int status = 1;
  std::unique_ptr<AgentxSubagent> agent;
  if (program.Start()) {
    ui.SetMainWindow(program.Frame());
    if (options.agentx) {
      agent = std::make_unique<AgentxSubagent>(program.View()->Adapters());
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
  // Settings that could not be written are an error of the run.
  if (!program.Exit().ok && status == 0) status = 1;
  return status;
}

}  // namespace quivera
