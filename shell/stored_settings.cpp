#include "shell/stored_settings.h"

#include "core/plovex_error.h"
#include "settings/headless_controls.h"
#include "settings/hive_file.h"
#include "settings/settings_store.h"

namespace plovex {

Result<TPlovexSettings> LoadStoredSettings() {
  TPlovexSettings settings;
  HeadlessControls controls(settings);
  HiveFile hive(DefaultHivePath());
  SettingsStore store(hive, settings, controls);
  try {
    store.LoadSettings();
  } catch (const PlovexError& e) {
    return Status::InvalidArgument(DisplayMessage(e.what()));
  }
  return settings;
}

}  // namespace plovex
