#pragma once
// `plovex --usage` and `plovex --usage=json`: the billing period and today
// from the usage store, for the host and interface of the stored settings, in
// words or as one JSON object; the settings from the hive at `hive_path`. The store is only read,
// so this works while a window or a headless runner is writing it. Nothing is sent to the host.
// Returns 0, or 1 when the settings or the store cannot be read.
#include <iosfwd>
#include <string>

namespace plovex {

int RunUsageProgram(bool json, const std::string& hive_path, std::ostream& out, std::ostream& err);

}  // namespace plovex
