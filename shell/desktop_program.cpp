#include "shell/desktop_program.h"

#include <QApplication>
#include <QIcon>

#include "settings/hive_file.h"
#include "shell/termination_signals.h"
#include "shell/tform1.h"

namespace plovex {

int RunDesktopProgram(int& argc, char** argv) {
  TerminationSignals termination;  // before the toolkit starts threads
  QApplication app(argc, argv);
  QApplication::setApplicationName("Plovex");
  QGuiApplication::setDesktopFileName("plovex");
  QApplication::setWindowIcon(QIcon(":/plovex/plovex.png"));

  HiveFile hive(DefaultHivePath());
  TForm1 form(TForm1Seams{.hive = &hive});
  form.FormCreate();
  form.ShowAtStart();
  termination.CloseOnSignal(&form);
  return QApplication::exec();
}

}  // namespace plovex
