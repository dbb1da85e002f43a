#pragma once
// The settings file of a run, and the settings as it holds them for the
// command-line reports (--interfaces, --usage) that read them once and run
// no graph. A failed load is the message the user is shown, "." appended
// where it is due.
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"

namespace plovex {

// The file "--settings" named (`named`, made absolute against the working
// directory, so that a later change of directory does not move it), else
// the default hive.
std::string SettingsPath(const std::string& named);

// Only the window makes a settings file. For the other modes a named file
// that does not exist (or is a directory) is an error, not the defaults: a
// misspelt name would otherwise poll the default host and leave a new file
// behind.
Status NamedSettingsExist(const std::string& named);

Result<TPlovexSettings> LoadStoredSettings(const std::string& hive_path);

}  // namespace plovex
