#include "shell/stored_settings.h"

#include <filesystem>
#include <system_error>

#include "core/plovex_error.h"
#include "settings/headless_controls.h"
#include "settings/hive_file.h"
#include "settings/settings_store.h"

namespace plovex {

std::string SettingsPath(const std::string& named) {
  if (named.empty()) return DefaultHivePath();
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(named, ec);
  return ec ? named : absolute.string();
}

Status NamedSettingsExist(const std::string& named) {
  if (named.empty()) return Status::Ok();
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(named, ec);
  if (std::filesystem::is_regular_file(status)) return Status::Ok();
  if (std::filesystem::exists(status))
    return Status::InvalidArgument("settings file " + named + " is not a file");
  if (ec && ec != std::errc::no_such_file_or_directory)
    return Status::IoError("settings file " + named + ": " + ec.message());
  return Status::NotFound("settings file " + named +
                          " does not exist (the window makes it: plovex --settings " + named + ")");
}

Result<TPlovexSettings> LoadStoredSettings(const std::string& hive_path) {
  TPlovexSettings settings;
  HeadlessControls controls(settings);
  HiveFile hive(hive_path);
  SettingsStore store(hive, settings, controls);
  try {
    store.LoadSettings();
  } catch (const PlovexError& e) {
    return Status::InvalidArgument(DisplayMessage(e.what()));
  }
  return settings;
}

}  // namespace plovex
