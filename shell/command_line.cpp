#include "shell/command_line.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace plovex {

const char* const kUsage =
    "usage: plovex [--settings FILE] [TOOLKIT OPTIONS]\n"
    "       plovex [--settings FILE] --headless [--ticks N] [--metrics ADDRESS]\n"
    "       plovex [--settings FILE] --interfaces\n"
    "       plovex [--settings FILE] --usage[=json]\n"
    "       plovex --help | --version\n"
    "Without arguments Plovex is the desktop window; the toolkit's own options\n"
    "(-platform NAME, -display DISPLAY, -style NAME, ...) go to the toolkit.\n"
    "With --headless it runs without one: a tick every Refresh seconds, the\n"
    "pictures written into the working directory, each tick's tray hint on\n"
    "standard output. It stops after N ticks (the first one counts) or on\n"
    "SIGINT, SIGTERM or SIGHUP, saving the settings. With --metrics it serves\n"
    "Prometheus metrics at http://ADDRESS/metrics (PORT alone: 127.0.0.1:PORT).\n"
    "With --interfaces it lists the host's interfaces and the counters each\n"
    "would use, and exits.\n"
    "With --usage it prints this billing period's and today's traffic from the\n"
    "usage history, in words or (--usage=json) as one JSON object, and exits.\n"
    "  --settings FILE  use this settings file instead of the default one;\n"
    "                   only the window makes it when it does not exist\n"
    "  --help      print this text and exit\n"
    "  --version   print the version and exit\n"
    "See plovex(1) for the settings, the files and the headless service.\n";

const char* const kVersionText = "Plovex " PLOVEX_VERSION;

namespace {

// The toolkit's documented command-line options; it reads and removes them
// itself when the window starts.
constexpr std::array<std::string_view, 12> kToolkitOptionsWithValue = {
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-session",
    "-style",           "-stylesheet",         "-display",       "-geometry"};
constexpr std::array<std::string_view, 2> kToolkitFlags = {"-reverse", "-widgetcount"};

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& names, const std::string& arg) {
  return std::find(names.begin(), names.end(), arg) != names.end();
}

CommandLine Mode(ProgramMode mode, std::size_t headless_from = 0) {
  CommandLine c;
  c.mode = mode;
  c.headless_from = headless_from;
  return c;
}

CommandLine BadUsage(std::string error) {
  CommandLine c = Mode(ProgramMode::kBadUsage);
  c.error = std::move(error);
  return c;
}

// The mode, from the arguments without "--settings FILE".
CommandLine ParseMode(std::span<const std::string> args);

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> all_args) {
  // Help and the version win over any mistake, also one in "--settings".
  const auto given = [&](std::string_view name) {
    return std::find(all_args.begin(), all_args.end(), name) != all_args.end();
  };
  if (given("--help") || given("-h")) return Mode(ProgramMode::kHelp);
  if (given("--version")) return Mode(ProgramMode::kVersion);
  std::vector<std::string> rest;
  std::string settings_file;
  bool settings_given = false;
  for (std::size_t i = 0; i < all_args.size(); ++i) {
    const std::string& arg = all_args[i];
    std::optional<std::string> file;
    if (OneOf(kToolkitOptionsWithValue, arg) && i + 1 < all_args.size()) {
      rest.push_back(arg);
      rest.push_back(all_args[++i]);
      continue;
    }
    if (arg == "--settings") {
      if (i + 1 == all_args.size()) return BadUsage("--settings needs a file");
      file = all_args[++i];
    } else if (arg.starts_with("--settings=")) {
      file = arg.substr(11);
    } else {
      rest.push_back(arg);
      continue;
    }
    if (file->empty()) return BadUsage("--settings needs a file");
    if (settings_given) return BadUsage("--settings given twice");
    settings_given = true;
    settings_file = *file;
  }
  CommandLine parsed = ParseMode(rest);
  parsed.args = std::move(rest);
  parsed.settings_file = std::move(settings_file);
  return parsed;
}

namespace {

CommandLine ParseMode(std::span<const std::string> args) {
  if (!args.empty() && args[0] == "--headless") return Mode(ProgramMode::kHeadless, 1);
  if (!args.empty() && args[0] == "--interfaces") {
    if (args.size() > 1) return BadUsage("--interfaces takes no arguments");
    return Mode(ProgramMode::kInterfaces);
  }
  if (!args.empty() && (args[0] == "--usage" || args[0] == "--usage=json")) {
    if (args.size() > 1) return BadUsage(args[0] + " takes no arguments");
    return Mode(args[0] == "--usage" ? ProgramMode::kUsage : ProgramMode::kUsageJson);
  }

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (OneOf(kToolkitFlags, arg)) continue;
    if (OneOf(kToolkitOptionsWithValue, arg)) {
      if (i + 1 == args.size()) return BadUsage(arg + " needs a value");
      ++i;
      continue;
    }
    if (arg == "--headless") return BadUsage("--headless must come first");
    if (arg == "--interfaces") return BadUsage("--interfaces must come alone");
    if (arg.starts_with("--usage")) return BadUsage("--usage must come alone");
    if (arg.starts_with("-")) return BadUsage("unknown option '" + arg + "'");
    return BadUsage("unexpected argument '" + arg + "'");
  }
  return Mode(ProgramMode::kDesktop);
}

}  // namespace

}  // namespace plovex
