// The windowed program's entry: builds the application object and runs it.
#include "app/ui/windowed_main.h"

#include <QApplication>
#include <QMainWindow>

namespace quivera {

int RunWindowed(int argc, char** argv, const Options& /*options*/) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("QUIVERA/FDDI"));
  window.show();
  return app.exec();
}

}  // namespace quivera
