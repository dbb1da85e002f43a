#pragma once
// The settings as the stored hive holds them, for the command-line reports
// (--interfaces, --usage) that read them once and run no graph. A failed
// load is the message the user is shown, "." appended where it is due.
#include "base/status.h"
#include "core/plovex_settings.h"

namespace plovex {

Result<TPlovexSettings> LoadStoredSettings();

}  // namespace plovex
