#pragma once
// `plovex --interfaces`: the interface list of the "Interfaces…" dialog for
// servers, read with the stored settings (the same hive the window and the
// headless runner load) and printed on `out`, one interface per line: the
// row to offer marked "*", its index, name, type, status, speed, the two
// counters choosing it would use, and the rates over one second. Errors go to
// `err`; returns 0, or 1 when the settings could not be loaded or the agent
// gave no list. Sends nothing before the settings are loaded, so a damaged
// hive never sends to the default host.
#include <iosfwd>

#include "core/interface_table.h"
#include "core/plovex_settings.h"

namespace plovex {

// The lines as printed, header first.
std::string InterfaceListText(const TPlovexSettings& s, const InterfaceTable& table);

// The settings from the hive at `hive_path`.
int RunInterfacesProgram(const std::string& hive_path, std::ostream& out, std::ostream& err);

}  // namespace plovex
