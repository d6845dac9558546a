// The windowed program: the application object, the single-instance check,
// then start-up, the event loop and exit (windowed_app.h).
#include "app/ui/windowed_main.h"

#include <QApplication>

#include "adapter/socket_driver_channel.h"
#include "app/options.h"
#include "app/ui/main_frame.h"
#include "dialogs/qt_ui_services.h"
#include "app/ui/single_instance.h"
#include "app/ui/windowed_app.h"

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
  if (program.Start()) {
    ui.SetMainWindow(program.Frame());
    status = QApplication::exec();
    ui.SetMainWindow(nullptr);
  }
  program.Exit();
  return status;
}

}  // namespace quivera
