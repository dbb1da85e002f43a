#pragma once
// The program's command line, decided before anything else starts: no
// toolkit, no settings, no socket. Asking for help or the version, or giving
// an option the program does not know, therefore never opens a window, never
// touches the settings hive and never sends a poll.
//
// The desktop window takes the toolkit's own options (-platform NAME,
// -display DISPLAY, -style NAME, ...), which are left for the toolkit to
// read; the headless mode's own arguments are checked by ParseHeadlessArgs
// when that mode starts.
//
// "--settings FILE" (or "--settings=FILE") may stand anywhere, in every mode:
// that settings file instead of the default one.
#include <span>
#include <string>
#include <vector>

namespace plovex {

enum class ProgramMode {
  kDesktop,
  kHeadless,
  kInterfaces,
  kUsage,
  kUsageJson,
  kHelp,
  kVersion,
  kBadUsage
};

struct CommandLine {
  ProgramMode mode = ProgramMode::kDesktop;
  // The arguments without "--settings FILE": the toolkit's for the window.
  std::vector<std::string> args;
  // kHeadless: the index in `args` of the first argument after "--headless".
  std::size_t headless_from = 0;
  // The file "--settings" named, as given; empty for the default one.
  std::string settings_file;
  // kBadUsage: what is wrong, for the message before the usage.
  std::string error;
};

// args are the arguments after the program name. "--settings FILE" is taken
// out first (not from a toolkit option's value). "--help" (or "-h") anywhere
// asks for help, else "--version" anywhere for the version; else "--headless"
// first selects the headless mode, "--interfaces" alone the interface list;
// else only toolkit options may be given.
CommandLine ParseCommandLine(std::span<const std::string> args);

// The usage text printed by --help and after a usage error.
extern const char* const kUsage;
// What --version prints: the product name and version, "Plovex 1.2.1".
extern const char* const kVersionText;

}  // namespace plovex
