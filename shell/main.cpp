// Plovex: the desktop window, or with --headless the runner without one.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "shell/headless_runner.h"
#ifdef PLOVEX_DESKTOP
#include "shell/desktop_program.h"
#endif

int main(int argc, char** argv) {
  // Rate texts use the user's decimal separator; nothing else is localised.
  std::setlocale(LC_NUMERIC, "");
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--headless")
    return plovex::RunHeadlessProgram(std::span(args).subspan(1), std::cout, std::cerr);
#ifdef PLOVEX_DESKTOP
  // Other arguments are the toolkit's own (-platform, -display, ...).
  return plovex::RunDesktopProgram(argc, argv);
#else
  if (!args.empty()) {
    std::cerr << "plovex: unknown argument '" << args[0] << "'\n" << plovex::kUsage;
    return 2;
  }
  std::cerr << "plovex: the desktop window is not part of this build; use plovex --headless\n";
  return 1;
#endif
}
