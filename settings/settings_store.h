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
// Failures throw PlovexError with the registry's, the conversion's or the
// hive's own message. A load that fails before it has read every value keeps
// what it read and gives every other field its default, so that the program
// runs; such a record is not what the hive holds, so the closing save leaves
// the hive alone until the user applies settings (SettingsApplied). That also
// keeps a take-over of the old key that failed from creating the current key,
// so it is tried again at the next start. The carried-over totals are read
// even after such a failure (they count on across runs), and SaveTotals never
// writes over a stored total that could not be read.
//
// A stored full scale, Refresh or TickFreq below 1 would make every tick fail:
// the load gives it its default for the run, says so in the message it
// throws, and the closing save leaves the stored value alone unless the user
// applies. An old key that lacks them (older versions had no such values)
// takes the defaults into the migration save.
//
// A hive that holds a version 3 master key is committed for its owner alone
// (a settings file ends up mode 0600, whatever it was); when that took access
// away from others, the user is told once: LoadSettings throws it like its
// other messages, after a save it waits in TakeNotice.
//
// SNMPv3 passphrases are never kept: "SNMPAuthPassphrase" and
// "SNMPPrivPassphrase", written into the hive by hand, are turned into the
// master keys "SNMPAuthKey" and "SNMPPrivKey" at load (with the
// authentication protocol's hash) and removed in the load's own commit; every
// SaveSettings removes them too. They are held to the panel's rules: one
// shorter than 8 bytes makes no key (the stored key stays), is removed all
// the same, and the load tells "A passphrase must be at least 8 characters."
// (after SettingsToControls, as any load failure) with the record whole.
// Without a known authentication protocol a passphrase waits in the hive.
#include <string>
#include <unordered_set>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "settings/registry_hive.h"
#include "settings/settings_controls.h"

namespace plovex {

class RegistryKey;
struct StoredValue;

class SettingsStore {
 public:
  SettingsStore(RegistryHive& hive, TPlovexSettings& settings, SettingsControls& controls);

  // Fills the record from the current key; else from the old key, then saves
  // it under the current key at once; else from the controls' initial state
  // (ControlsToSettings), writing nothing. Always ends with SettingsToControls,
  // also after a failure, which it then rethrows: the caller shows it once and
  // starts up with the record as it stands (unread fields at their defaults).
  void LoadSettings();

  // Writes "VersionNum" 1.2 and every setting (not the totals). Returns
  // without writing when the hive cannot be read (the key cannot be opened).
  void SaveSettings();

  // The save of the program's close: SaveSettings, unless the last load
  // failed part-way and no settings were applied since; then also the totals
  // that SaveTotals held back.
  void SaveSettingsAtClose();

  // The user applied settings: the record is now theirs to keep.
  void SettingsApplied();

  // Writes "OID1Last" and "OID2Last" from the totals. Returns without writing
  // when the hive cannot be read. After a failed load it does not create the
  // current key; the totals are then written by SaveSettingsAtClose.
  void SaveTotals();

  // What a save had to tell the user, once; empty for nothing.
  std::string TakeNotice();

 private:
  template <typename Body>
  void WithKey(RegistryKey& key, Body body);
  void Load();
  void ReadCurrentKey(RegistryKey& key);
  void ReadOldKey(RegistryKey& key);
  void Read(const RegistryKey& key, const StoredValue& v);
  void ReadTotalsAfterFailure(const RegistryKey& key);
  void DefaultTheUnread();
  void DefaultUnreadDivisors();
  void DefaultValuesAddedSince();
  void TakePassphrases(RegistryKey& key);

  RegistryHive& hive_;
  TPlovexSettings& settings_;
  SettingsControls& controls_;
  std::unordered_set<const void*> read_;  // fields the last load read
  bool record_whole_ = true;              // the last load read every value
  bool applied_ = false;                  // settings applied since the load
  bool totals_pending_ = false;           // SaveTotals held them back
  Status refused_passphrase_;             // why the load made no key of one
  std::string notice_;                    // for TakeNotice
};

}  // namespace plovex
