#pragma once
// The desktop program: the application object titled "Plovex", the settings
// hive of the current user, the main window (shown, or kept in the tray when
// it was stored minimised), and the event loop. Returns the exit code.
#include <string>

namespace plovex {

// The settings from the hive at `hive_path`, made there at the first save.
int RunDesktopProgram(int& argc, char** argv, const std::string& hive_path);

}  // namespace plovex
