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
#include <span>
#include <string>

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
  // kHeadless: the index of the first argument after "--headless".
  std::size_t headless_from = 0;
  // kBadUsage: what is wrong, for the message before the usage.
  std::string error;
};

// args are the arguments after the program name. "--help" (or "-h") anywhere
// asks for help, else "--version" anywhere for the version; else "--headless"
// first selects the headless mode, "--interfaces" alone the interface list;
// else only toolkit options may be given.
CommandLine ParseCommandLine(std::span<const std::string> args);

// The usage text printed by --help and after a usage error.
extern const char* const kUsage;
// What --version prints: the product name and version, "Plovex 1.2.1".
extern const char* const kVersionText;

}  // namespace plovex
