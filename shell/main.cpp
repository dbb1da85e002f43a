// Plovex: the desktop window, or with --headless the runner without one.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/headless_runner.h"
#include "shell/interface_lister.h"
#include "shell/usage_reporter.h"
#ifdef PLOVEX_DESKTOP
#include "shell/desktop_program.h"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const plovex::CommandLine command = plovex::ParseCommandLine(args);
  switch (command.mode) {
    case plovex::ProgramMode::kHelp:
      std::cout << plovex::kUsage;
      return std::cout.flush() ? 0 : 1;
    case plovex::ProgramMode::kVersion:
      std::cout << plovex::kVersionText << "\n";
      return std::cout.flush() ? 0 : 1;
    case plovex::ProgramMode::kBadUsage:
      std::cerr << "plovex: " << command.error << "\n" << plovex::kUsage;
      return 2;
    case plovex::ProgramMode::kUsage:
    case plovex::ProgramMode::kUsageJson:
      return plovex::RunUsageProgram(command.mode == plovex::ProgramMode::kUsageJson, std::cout,
                                     std::cerr);
    case plovex::ProgramMode::kHeadless:
    case plovex::ProgramMode::kInterfaces:
    case plovex::ProgramMode::kDesktop:
      break;
  }
  // Rate texts use the user's decimal separator; nothing else is localised.
  std::setlocale(LC_NUMERIC, "");
  if (command.mode == plovex::ProgramMode::kInterfaces)
    return plovex::RunInterfacesProgram(std::cout, std::cerr);
  if (command.mode == plovex::ProgramMode::kHeadless)
    return plovex::RunHeadlessProgram(std::span(args).subspan(command.headless_from), std::cout,
                                      std::cerr);
#ifdef PLOVEX_DESKTOP
  // What is left are the toolkit's own options, which it reads itself.
  return plovex::RunDesktopProgram(argc, argv);
#else
  std::cerr << "plovex: the desktop window is not part of this build; use plovex --headless\n";
  return 1;
#endif
}
