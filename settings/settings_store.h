#pragma once
// SettingsStore: keeps the settings record between runs in the registry hive
// under "\Software\Kestrune\Plovex_1", takes over the earlier version's key
// "\Software\Kestrune\Plovex" once, and stores the carried-over totals. It
// borrows the hive, the record and the controls; all three outlive it.
//
// Each operation opens the key once and commits all its writes together when
// it closes the key (see RegistryKey): LoadSettings commits the "VersionNum"
// marker of an existing key, SaveSettings every setting, SaveTotals the two
// totals. A batch the hive cannot commit is not lost silently: the operation
// throws "Failed to set data for '<first value of the batch>'" and the hive
// keeps what it held before.
//
// Failures throw PlovexError with the registry's or the conversion's message.
// Fields read before a failing value keep what was read; the rest keep their
// values.
#include "core/plovex_settings.h"
#include "settings/registry_hive.h"
#include "settings/settings_controls.h"

namespace plovex {

class RegistryKey;

class SettingsStore {
 public:
  SettingsStore(RegistryHive& hive, TPlovexSettings& settings, SettingsControls& controls);

  // Fills the record from the current key; else from the old key, then saves
  // it under the current key at once; else from the controls' initial state
  // (ControlsToSettings), writing nothing. Always ends with SettingsToControls,
  // also after a failure, which it then rethrows: the caller shows it once and
  // starts up with the record as it stands.
  void LoadSettings();

  // Writes "VersionNum" 1.2 and every setting (not the totals). Returns
  // without writing when the hive cannot be read (the key cannot be opened).
  void SaveSettings();

  // Writes "OID1Last" and "OID2Last" from the totals. Returns without writing
  // when the hive cannot be read.
  void SaveTotals();

 private:
  void Load();
  void ReadCurrentKey(RegistryKey& key);
  void ReadOldKey(RegistryKey& key);

  RegistryHive& hive_;
  TPlovexSettings& settings_;
  SettingsControls& controls_;
};

}  // namespace plovex
