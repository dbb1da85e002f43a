#include "shell/desktop_program.h"

#include <QApplication>
#include <QIcon>
#include <iostream>

#include "settings/hive_file.h"
#include "shell/termination_signals.h"
#include "shell/tform1.h"

namespace plovex {

int RunDesktopProgram(int& argc, char** argv, const std::string& hive_path) {
  TerminationSignals termination;  // before the toolkit starts threads
  QApplication app(argc, argv);
  QApplication::setApplicationName("Plovex");
  QGuiApplication::setDesktopFileName("plovex");
  QApplication::setWindowIcon(QIcon(":/plovex/plovex.png"));

  HiveFile hive(hive_path);
  TForm1 form(TForm1Seams{.hive = &hive});
  // Watched from before the start-up, whose message box (a hive that cannot
  // be loaded) must not keep a logout waiting either.
  int exit_code = 0;
  termination.OnSignal(&form, [&form, &exit_code] {
    exit_code = form.CloseOnSignal(std::cerr) ? 0 : 1;
    QCoreApplication::exit(exit_code);
  });
  form.FormCreate();
  if (form.Closing()) return exit_code;  // a signal came during the start-up
  form.ShowAtStart();
  const int loop_status = QApplication::exec();
  // A signal's status stands when the close it cut short then quits the loop.
  return exit_code != 0 ? exit_code : loop_status;
}

}  // namespace plovex
