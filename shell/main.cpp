// Plovex: the desktop window, or with --headless the runner without one.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/headless_runner.h"
#include "shell/interface_lister.h"
#include "shell/stored_settings.h"
#include "shell/usage_reporter.h"
#ifdef PLOVEX_DESKTOP
#include "shell/desktop_program.h"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> all_args(argv + 1, argv + argc);
  const plovex::CommandLine command = plovex::ParseCommandLine(all_args);
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
    case plovex::ProgramMode::kHeadless:
    case plovex::ProgramMode::kInterfaces:
    case plovex::ProgramMode::kDesktop:
      break;
  }
  const std::string hive_path = plovex::SettingsPath(command.settings_file);
  if (command.mode != plovex::ProgramMode::kDesktop) {
    if (const plovex::Status named = plovex::NamedSettingsExist(command.settings_file);
        !named.ok()) {
      std::cerr << "plovex: " << named.message() << std::endl;
      return 1;
    }
  }
  if (command.mode == plovex::ProgramMode::kUsage ||
      command.mode == plovex::ProgramMode::kUsageJson)
    return plovex::RunUsageProgram(command.mode == plovex::ProgramMode::kUsageJson, hive_path,
                                   std::cout, std::cerr);
  // Rate texts use the user's decimal separator; nothing else is localised.
  std::setlocale(LC_NUMERIC, "");
  if (command.mode == plovex::ProgramMode::kInterfaces)
    return plovex::RunInterfacesProgram(hive_path, std::cout, std::cerr);
  if (command.mode == plovex::ProgramMode::kHeadless)
    return plovex::RunHeadlessProgram(std::span(command.args).subspan(command.headless_from),
                                      hive_path, std::cout, std::cerr);
#ifdef PLOVEX_DESKTOP
  // What is left are the toolkit's own options, which it reads itself.
  std::vector<char*> toolkit_argv{argv[0]};
  std::vector<std::string> toolkit_args = command.args;
  for (std::string& arg : toolkit_args) toolkit_argv.push_back(arg.data());
  toolkit_argv.push_back(nullptr);
  int toolkit_argc = static_cast<int>(toolkit_argv.size()) - 1;
  return plovex::RunDesktopProgram(toolkit_argc, toolkit_argv.data(), hive_path);
#else
  std::cerr << "plovex: the desktop window is not part of this build; use plovex --headless\n";
  return 1;
#endif
}
