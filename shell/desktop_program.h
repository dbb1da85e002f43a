#pragma once
// The desktop program: the application object titled "Plovex", the settings
// hive of the current user, the main window (shown, or kept in the tray when
// it was stored minimised), and the event loop. Returns the exit code.
namespace plovex {

int RunDesktopProgram(int& argc, char** argv);

}  // namespace plovex
