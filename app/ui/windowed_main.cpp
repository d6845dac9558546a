// The windowed program: the application object, the single-instance check,
// then start-up, the event loop and exit (windowed_app.h).
#include "app/ui/windowed_main.h"

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
#include "app/ui/qvf_view.h"
#include "settings/settings.h"
#include "snmp/agentx_subagent.h"

namespace quivera {

int RunWindowed(int argc, char** argv, const Options& options) {
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
  int status = 1;
  std::unique_ptr<AgentxSubagent> agent;
  if (program.Start()) {
    ui.SetMainWindow(program.Frame());
    if (options.agentx) {
      agent = std::make_unique<AgentxSubagent>(program.View()->Adapters(),
                                               [] { return SetOperationsAllowed(); });
      std::string error;
      if (!agent->Start(options.agentx_socket, &error)) {
        ui.Message(error, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
      }
    }
    status = QApplication::exec();
    ui.SetMainWindow(nullptr);
  }
  agent.reset();  // stopped before the adapters go
  program.Exit();
  return status;
}

}  // namespace quivera
