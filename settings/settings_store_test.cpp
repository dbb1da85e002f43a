#include "settings/settings_store.h"
#include "settings/testing/error_message_of.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "core/plovex_error.h"
#include "settings/color_text.h"
#include "settings/headless_controls.h"
#include "settings/hive_format.h"
#include "settings/hive_text_writer.h"
#include "settings/registry_key.h"
#include "settings/settings_tables.h"
#include "settings/testing/memory_hive.h"

namespace plovex {
namespace {

const std::string kCurrentKey = "HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1";
const std::string kOldKey = "HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex";
const std::string kBytes12 = "\x33\x33\x33\x33\x33\x33\xF3\x3F";
const std::string kBytes121 = "\x5C\x8F\xC2\xF5\x28\x5C\xF3\x3F";

// Controls that start as the panel does and remember what they were shown.
class RecordingControls : public SettingsControls {
 public:
  explicit RecordingControls(TPlovexSettings& s) : settings_(s), headless_(s) {}
  void SettingsToControls() override {
    calls.push_back("SettingsToControls");
    shown_ip = settings_.Ip;
    shown_oid1 = settings_.Oid1.Oid;
  }
  void ControlsToSettings() override {
    calls.push_back("ControlsToSettings");
    headless_.ControlsToSettings();
  }
  std::vector<std::string> calls;
  std::string shown_ip, shown_oid1;

 private:
  TPlovexSettings& settings_;
  HeadlessControls headless_;
};

MemoryHive HiveWith(const std::string& key, const std::string& values) {
  auto hive =
      MemoryHive::FromText("Windows Registry Editor Version 5.00\n\n[" + key + "]\n" + values);
  EXPECT_TRUE(hive.has_value()) << values;
  return hive.value_or(MemoryHive{});
}

const HiveValue* Stored(const MemoryHive& hive, const std::string& key, std::string_view name) {
  const HiveKey* k = hive.document().FindKey(key);
  return k ? k->Find(name) : nullptr;
}

// Every setting field set away from its default, to distinct values.
void SetUnusualValues(TPlovexSettings& s) {
  s.Ip = "fe80::1%eth0";
  s.Community = "pub\"lic\\";
  s.SnmpVersion = "2c";
  s.SnmpUser = "operator";
  s.SnmpAuthProtocol = "SHA-256";
  s.SnmpPrivProtocol = "AES";
  s.SnmpAuthKey = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
  s.SnmpPrivKey = "ffeeddccbbaa99887766554433221100ffeeddccbbaa99887766554433221100";
  s.Interface = "ppp0";
  s.Oid1 = {0, 0, 77, 0, 0x00123456, 0x00FFFFFF, false, -3, 41, "1.3.6.1.2.1.2.2.1.10.7", true};
  s.Oid2 = {0, 0, -9, 0, 0x80000005, 0x00C0C0C0, true, 51, 42, "1.3.6.1.2.1.2.2.1.16.7", true};
  s.GraphTopX = 3, s.GraphTopY = 13, s.GraphBottomX = 399, s.GraphBottomY = 146;
  s.HTicks = false, s.VTicks = false, s.TickFreq = 5, s.Refresh = 3;
  s.GraphLabel = false, s.MaxBytes = 128000, s.TextSize = 9, s.SaveGif = false;
  s.SaveGifFreq = 15, s.ShowTotal = false, s.TotalX = 101, s.TotalY = 2;
  s.GifFolder = "/srv/pictures";
  s.MetricsListen = "[::1]:9877";
  for (int k = 1; k <= 5; ++k) {
    const std::string n = std::to_string(k);
    s.Texts[k] = {false, "Größe " + n + " = %" + n, "1.3.6.1.4.1." + n, "Kind" + n, 10 + k, 20 + k};
  }
  s.WindowTop = -20, s.WindowLeft = 1900, s.WindowState = 2, s.WindowBorderStyle = 2;
  s.LockDrag = true, s.StayOnTop = true;
  s.NotifyDownPolls = 5, s.NotifyRateAbove = 125000, s.NotifyRateSeconds = 10, s.NotifyCap = true;
}

// The stored form of every setting of a record, for comparing records.
std::string SettingsText(TPlovexSettings& s) {
  MemoryHive hive;
  HeadlessControls controls(s);
  SettingsStore(hive, s, controls).SaveSettings();
  return WriteHiveText(hive.document());
}

TEST(SettingsStore, FirstStartTakesTheDefaultsAndWritesEveryValueOnlyAtClose) {
  MemoryHive hive;
  TPlovexSettings s;
  RecordingControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  EXPECT_EQ(controls.calls, (std::vector<std::string>{"ControlsToSettings", "SettingsToControls"}));
  EXPECT_EQ(hive.commits(), 0);
  EXPECT_TRUE(hive.document().keys().empty());
  EXPECT_EQ(s.Oid1.Total, 0);
  EXPECT_EQ(s.Oid2.Total, 0);

  store.SaveSettings();
  EXPECT_EQ(hive.commits(), 1);
  const HiveKey* key = hive.document().FindKey(kCurrentKey);
  ASSERT_NE(key, nullptr);
  const auto table = CurrentKeyTable();
  ASSERT_EQ(key->values().size(), table.size());
  RegistryKey reader(hive, kCurrentKeyPath);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const StoredValue& row = table[i].value;
    EXPECT_EQ(key->values()[i].name, row.name) << "written in table order, in this spelling";
    switch (row.type) {
      case StoredAs::kDouble:
        EXPECT_EQ(key->values()[i].data, kBytes12);
        break;
      case StoredAs::kInteger:
      case StoredAs::kBool:
        EXPECT_EQ(std::to_string(reader.ReadInteger(row.name)), row.default_text) << row.name;
        break;
      default:
        EXPECT_EQ(reader.ReadString(row.name), row.default_text) << row.name;
    }
  }
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1Last"), nullptr);
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID2Last"), nullptr);
}

TEST(SettingsStore, ACurrentKeyLoadsEveryValueAndMarksVersionNum121) {
  TPlovexSettings original;
  SetUnusualValues(original);
  original.Oid1.Total = 123456789012345;
  original.Oid2.Total = -5;
  MemoryHive hive;
  HeadlessControls original_controls(original);
  SettingsStore(hive, original, original_controls).SaveSettings();
  SettingsStore(hive, original, original_controls).SaveTotals();
  const int commits = hive.commits();

  TPlovexSettings loaded;
  RecordingControls controls(loaded);
  SettingsStore(hive, loaded, controls).LoadSettings();
  EXPECT_EQ(controls.calls, std::vector<std::string>{"SettingsToControls"});
  EXPECT_EQ(SettingsText(loaded), SettingsText(original));
  EXPECT_EQ(loaded.Oid1.Total, 123456789012345);
  EXPECT_EQ(loaded.Oid2.Total, -5);
  EXPECT_EQ(hive.commits(), commits + 1) << "one commit: the marker";
  EXPECT_EQ(Stored(hive, kCurrentKey, "VersionNum")->data, kBytes121);

  SettingsStore(hive, loaded, controls).SaveSettings();
  EXPECT_EQ(Stored(hive, kCurrentKey, "VersionNum")->data, kBytes12);
}

TEST(SettingsStore, UnusualValuesDifferFromEveryDefault) {
  // Guards the round trip above: it only proves something for fields that moved.
  TPlovexSettings s;
  SetUnusualValues(s);
  MemoryHive hive;
  HeadlessControls controls(s);
  SettingsStore(hive, s, controls).SaveSettings();
  RegistryKey key(hive, kCurrentKeyPath);
  for (const CurrentKeyRow& row : CurrentKeyTable()) {
    const StoredValue& v = row.value;
    if (v.type == StoredAs::kDouble) continue;
    const std::string stored = v.type == StoredAs::kInteger || v.type == StoredAs::kBool
                                   ? std::to_string(key.ReadInteger(v.name))
                                   : key.ReadString(v.name);
    EXPECT_NE(stored, v.default_text) << v.name;
  }
}

TEST(SettingsStore, AKeyFromBeforeGradientsAndTotalsLoads) {
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  MemoryHive full;
  HeadlessControls c0(defaults);
  SettingsStore(full, defaults, c0).SaveSettings();
  HiveKey& key = full.document().keys().front();
  key.Erase("OID1Grad");
  key.Erase("OID2Grad");

  TPlovexSettings s;
  s.Oid2.Gradient = true;  // a field without its value keeps what it held
  RecordingControls controls(s);
  SettingsStore(full, s, controls).LoadSettings();
  EXPECT_FALSE(s.Oid1.Gradient);
  EXPECT_TRUE(s.Oid2.Gradient);
  EXPECT_EQ(s.Oid1.Total, 0);
  EXPECT_EQ(s.Oid2.Total, 0);
  EXPECT_EQ(s.MaxBytes, 64000);
}

TEST(SettingsStore, NamesAndColoursMatchWithoutRegardToCase) {
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  MemoryHive saved;
  HeadlessControls c0(defaults);
  SettingsStore(saved, defaults, c0).SaveSettings();
  std::string text = WriteHiveText(saved.document());
  const auto respell = [&text](const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  respell("[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1]",
          "[hkey_current_user\\SOFTWARE\\kestrune\\plovex_1]");
  respell("\"OID1color\"=\"clGreen\"", "\"oid1COLOR\"=\"clgreen\"");
  respell("\"OID1MaxColor\"=\"$0000A000\"", "\"OID1MaxColor\"=\"40960\"");
  respell("\"OID2Color\"=\"clBlue\"", "\"OID2Color\"=\"CLWHITE\"");
  respell("\"OID2MaxColor\"=\"$00FF4040\"", "\"OID2MaxColor\"=\"$00C0C0C0\"");
  auto parsed = MemoryHive::FromText(text);
  ASSERT_TRUE(parsed.has_value());
  MemoryHive& hive = *parsed;
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  EXPECT_EQ(s.Oid1.Color, 0x00008000u);
  EXPECT_EQ(s.Oid1.MaxColor, 0x0000A000u);
  EXPECT_EQ(s.Oid2.Color, 0x00FFFFFFu);
  EXPECT_EQ(s.Oid2.MaxColor, 0x00C0C0C0u);
  store.SaveSettings();
  EXPECT_EQ(hive.document().keys().front().path(), kCurrentKey);
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1color")->name, "OID1color");
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1color")->data, "clGreen");
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1MaxColor")->data, "$0000A000");
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID2Color")->data, "clWhite");
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID2MaxColor")->data, "clSilver");
}

// A saved default key with some values replaced (or removed, for "").
MemoryHive DefaultKeyWith(const std::vector<std::pair<std::string, std::string>>& changes) {
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  defaults.Ip = "10.1.1.1";
  defaults.Community = "stored";
  defaults.Oid1.Oid = "1.2.3";
  MemoryHive hive;
  HeadlessControls c0(defaults);
  SettingsStore(hive, defaults, c0).SaveSettings();
  HiveKey& key = hive.document().keys().front();
  for (const auto& [name, text] : changes) {
    key.Erase(name);
    if (!text.empty()) key.Set({name, hive_format::kRegSz, text});
  }
  return hive;
}

TEST(SettingsStore, TotalsLoadFromTheirText) {
  MemoryHive hive = DefaultKeyWith({{"OID1Last", "-5"}, {"OID2Last", "$7FFFFFFFFFFFFFFF"}});
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore(hive, s, controls).LoadSettings();
  EXPECT_EQ(s.Oid1.Total, -5);
  EXPECT_EQ(s.Oid2.Total, INT64_MAX);
}

TEST(SettingsStore, AFailedLoadKeepsWhatWasReadShowsItAndThenThrows) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> changes;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{{"OID1Grad", ""}, {"OID1Last", "abc"}}, "'abc' is not a valid integer value"},
      {{{"OID1Cx", ""}}, "Failed to get data for 'OID1Cx'"},
  };
  for (const Case& c : cases) {
    MemoryHive hive = DefaultKeyWith(c.changes);
    hive.document().keys().front().Set(
        {"OID1Grad", hive_format::kRegDword, std::string("\1\0\0\0", 4)});
    TPlovexSettings s;
    RecordingControls controls(s);
    EXPECT_EQ(MessageOf([&] { SettingsStore(hive, s, controls).LoadSettings(); }), c.message);
    EXPECT_EQ(controls.calls, std::vector<std::string>{"SettingsToControls"});
    EXPECT_EQ(controls.shown_ip, "10.1.1.1");
    EXPECT_EQ(controls.shown_oid1, "1.2.3");
    EXPECT_EQ(s.Community, "stored");
    EXPECT_EQ(s.Oid2.Oid, "1.3.6.1.2.1.2.2.1.16.2") << "not read: takes its default";
    EXPECT_EQ(s.MaxBytes, 64000);
    EXPECT_EQ(s.Refresh, 1);
    EXPECT_EQ(Stored(hive, kCurrentKey, "VersionNum")->data, kBytes121)
        << "the marker written before the failure stays written";
  }
  MemoryHive hive = DefaultKeyWith({{"OID1Grad", ""}, {"OID1Last", "abc"}});
  hive.document().keys().front().Set(
      {"OID1Grad", hive_format::kRegDword, std::string("\1\0\0\0", 4)});
  TPlovexSettings s;
  HeadlessControls controls(s);
  EXPECT_ANY_THROW(SettingsStore(hive, s, controls).LoadSettings());
  EXPECT_TRUE(s.Oid1.Gradient) << "read before the failing total";
}

// A stored key of unusual values without `missing`, as a damaged hive has it.
MemoryHive UnusualKeyWithout(const std::string& missing) {
  TPlovexSettings stored;
  SetUnusualValues(stored);
  stored.Oid1.Total = 4711;
  MemoryHive hive;
  HeadlessControls c0(stored);
  SettingsStore(hive, stored, c0).SaveSettings();
  SettingsStore(hive, stored, c0).SaveTotals();
  hive.document().keys().front().Erase(missing);
  return hive;
}

TEST(SettingsStore, AFailedLoadGivesTheUnreadTheirDefaultsAndTheCloseKeepsTheStoredValues) {
  MemoryHive hive = UnusualKeyWithout("OID1Cx");
  TPlovexSettings s;
  RecordingControls controls(s);
  SettingsStore store(hive, s, controls);
  EXPECT_EQ(MessageOf([&] { store.LoadSettings(); }), "Failed to get data for 'OID1Cx'");
  const HiveDocument after_load = hive.document();
  EXPECT_EQ(s.Ip, "fe80::1%eth0") << "read before the failure";
  EXPECT_EQ(s.Oid1.Oid, "1.3.6.1.2.1.2.2.1.10.7");
  EXPECT_EQ(s.Oid1.TextX, 2) << "the failing value takes its default";
  EXPECT_EQ(s.Refresh, 1) << "so the program runs: no division by a zero Refresh";
  EXPECT_EQ(s.MaxBytes, 64000);
  EXPECT_EQ(s.Oid2.Color, 0x00FF0000u);
  EXPECT_EQ(s.Texts[5].Format, "Loc. : %5");
  EXPECT_EQ(s.WindowBorderStyle, 1);
  EXPECT_EQ(s.Oid1.Total, 4711) << "the totals count on, even after a failure";

  // Totals go into the existing key; the closing save writes nothing.
  s.Oid2.Total = 9;
  store.SaveTotals();
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID2Last")->data, "9");
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1Last")->data, "4711");
  hive.document().keys().front().Set(*after_load.keys().front().Find("OID2Last"));
  store.SaveSettingsAtClose();
  EXPECT_EQ(hive.document(), after_load);

  // Once the user applies, the applied record is saved as usual.
  s.Community = "applied";
  store.SettingsApplied();
  store.SaveSettingsAtClose();
  EXPECT_EQ(Stored(hive, kCurrentKey, "Community")->data, "applied");
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1Cx")->data, std::string("\2\0\0\0", 4));
  EXPECT_EQ(Stored(hive, kCurrentKey, "VersionNum")->data, kBytes12);
}

TEST(SettingsStore, AStoredZeroDivisorIsToldOnceAndReplacedForTheRun) {
  MemoryHive hive = DefaultKeyWith({});
  HiveKey& key = hive.document().keys().front();
  key.Set({"Refresh", hive_format::kRegDword, std::string(4, '\0')});
  key.Set({"TickFreq", hive_format::kRegDword, std::string("\xFB\xFF\xFF\xFF", 4)});  // -5
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  EXPECT_EQ(MessageOf([&] { store.LoadSettings(); }),
            "The stored \"Refresh\" is 0. Refresh must be at least 1 second; 1 is used until you "
            "apply another value.\n"
            "The stored \"TickFreq\" is -5. Tick every must be at least 1 minute; 1 is used until "
            "you apply another value.");
  EXPECT_EQ(s.Refresh, 1);
  EXPECT_EQ(s.TickFreq, 1);
  EXPECT_EQ(s.Community, "stored");
  // The run uses the defaults; the hive keeps what the user stored until
  // they apply a value of their own.
  store.SaveSettingsAtClose();
  EXPECT_EQ(Stored(hive, kCurrentKey, "Refresh")->data, std::string(4, '\0'));
  EXPECT_EQ(Stored(hive, kCurrentKey, "Community")->data, "stored");
  s.Refresh = 3;
  store.SettingsApplied();
  store.SaveSettingsAtClose();
  EXPECT_EQ(Stored(hive, kCurrentKey, "Refresh")->data, std::string("\3\0\0\0", 4));
}

TEST(SettingsStore, AHiveFromBeforeSnmpVersionsIsVersion1AndSavedAsSuch) {
  MemoryHive hive = DefaultKeyWith({{"SNMPVersion", ""},
                                    {"SNMPUser", ""},
                                    {"SNMPAuthProtocol", ""},
                                    {"SNMPPrivProtocol", ""},
                                    {"SNMPAuthKey", ""},
                                    {"SNMPPrivKey", ""}});
  ASSERT_EQ(Stored(hive, kCurrentKey, "SNMPVersion"), nullptr);
  TPlovexSettings s;
  s.SnmpVersion = "garbage";
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  EXPECT_EQ(s.SnmpVersion, "1");
  EXPECT_EQ(s.SnmpMessageVersion(), 0);
  EXPECT_EQ(s.Community, "stored");
  store.SaveSettingsAtClose();
  EXPECT_EQ(Stored(hive, kCurrentKey, "SNMPVersion")->data, "1");
  EXPECT_EQ(Stored(hive, kCurrentKey, "SNMPVersion")->type, hive_format::kRegSz);
}

TEST(SettingsStore, PassphrasesWrittenByHandBecomeKeysAndAreNeverKept) {
  MemoryHive hive = DefaultKeyWith({{"SNMPVersion", "3"},
                                    {"SNMPUser", "plovex"},
                                    {"SNMPAuthProtocol", "SHA"},
                                    {"SNMPPrivProtocol", "AES"},
                                    {"SNMPAuthPassphrase", "maplesyrup"},
                                    {"SNMPPrivPassphrase", "maplesyrup"}});
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  // RFC 3414 A.3.2: Ku of "maplesyrup" with SHA-1.
  const std::string ku = "9FB5CC0381497B3793528939FF788D5D79145211";
  EXPECT_EQ(s.SnmpAuthKey, ku);
  EXPECT_EQ(s.SnmpPrivKey, ku);
  // Gone with the load's own commit, the keys stored in their place.
  EXPECT_EQ(Stored(hive, kCurrentKey, "SNMPAuthPassphrase"), nullptr);
  EXPECT_EQ(Stored(hive, kCurrentKey, "SNMPPrivPassphrase"), nullptr);
  EXPECT_EQ(Stored(hive, kCurrentKey, "SNMPAuthKey")->data, ku);
  const std::string text = WriteHiveText(hive.document());
  EXPECT_EQ(text.find("maplesyrup"), std::string::npos);
  // A passphrase put back meanwhile is removed by the next save.
  hive.document().keys().front().Set({"SNMPPrivPassphrase", hive_format::kRegSz, "again"});
  store.SaveSettings();
  EXPECT_EQ(Stored(hive, kCurrentKey, "SNMPPrivPassphrase"), nullptr);

  // Without a protocol there is no key to make: the passphrase waits.
  MemoryHive waiting = DefaultKeyWith({{"SNMPAuthPassphrase", "maplesyrup"}});
  TPlovexSettings w;
  HeadlessControls wc(w);
  SettingsStore(waiting, w, wc).LoadSettings();
  EXPECT_EQ(w.SnmpAuthKey, "");
  EXPECT_NE(Stored(waiting, kCurrentKey, "SNMPAuthPassphrase"), nullptr);

  // One the panel would refuse makes no key, is not kept, and is told once;
  // the stored key and the rest of the record stand.
  MemoryHive short_one = DefaultKeyWith(
      {{"SNMPAuthProtocol", "SHA"}, {"SNMPAuthKey", ku}, {"SNMPAuthPassphrase", "sevench"}});
  TPlovexSettings r;
  HeadlessControls rc(r);
  SettingsStore refusing(short_one, r, rc);
  EXPECT_EQ(MessageOf([&] { refusing.LoadSettings(); }),
            "A passphrase must be at least 8 characters.");
  EXPECT_EQ(r.SnmpAuthKey, ku);
  EXPECT_EQ(Stored(short_one, kCurrentKey, "SNMPAuthPassphrase"), nullptr);
  r.Community = "changed";
  refusing.SaveSettingsAtClose();
  EXPECT_EQ(Stored(short_one, kCurrentKey, "Community")->data, "changed");
  EXPECT_EQ(MessageOf([&] { refusing.LoadSettings(); }), "(no error)") << "told once";
}

TEST(SettingsStore, AHiveHoldingVersion3KeysIsForItsOwnerAloneAndTheUserIsToldOnce) {
  const std::string told =
      "The settings file could be read or changed by other users. It holds SNMPv3 keys now, so "
      "it is yours alone from now on (mode 0600)";
  // A key made at load: the load's own commit narrows the hive and says so.
  MemoryHive hive =
      DefaultKeyWith({{"SNMPAuthProtocol", "SHA"}, {"SNMPAuthPassphrase", "maplesyrup"}});
  hive.open_to_others = true;
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  EXPECT_EQ(MessageOf([&] { store.LoadSettings(); }), told);
  EXPECT_FALSE(hive.open_to_others);
  EXPECT_EQ(store.TakeNotice(), "");

  // No key: access stays as it was. A key applied in the run: the close's
  // save narrows it, and says so once.
  MemoryHive plain = DefaultKeyWith({});
  plain.open_to_others = true;
  TPlovexSettings p;
  HeadlessControls plain_controls(p);
  SettingsStore plain_store(plain, p, plain_controls);
  plain_store.LoadSettings();
  plain_store.SaveSettingsAtClose();
  EXPECT_TRUE(plain.open_to_others);
  EXPECT_EQ(plain_store.TakeNotice(), "");
  p.SnmpPrivKey = "00ff";
  plain_store.SettingsApplied();
  plain_store.SaveSettingsAtClose();
  EXPECT_FALSE(plain.open_to_others);
  EXPECT_EQ(plain_store.TakeNotice(), told);
  plain_store.SaveSettingsAtClose();
  EXPECT_EQ(plain_store.TakeNotice(), "");
}

TEST(SettingsStore, AStoredTotalThatCannotBeReadIsNotWrittenOver) {
  MemoryHive hive = DefaultKeyWith({{"OID1Last", "12 MB"}, {"OID2Last", "30"}});
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  EXPECT_EQ(MessageOf([&] { store.LoadSettings(); }), "'12 MB' is not a valid integer value");
  EXPECT_EQ(s.Oid2.Total, 30) << "read although it comes after the failure";
  s.Oid1.Total = 1;
  s.Oid2.Total = 31;
  store.SaveTotals();
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1Last")->data, "12 MB");
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID2Last")->data, "31");
}

TEST(SettingsStore, AWholeRecordIsSavedAtCloseAsUsual) {
  MemoryHive hive = DefaultKeyWith({});
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  s.Community = "changed";
  store.SaveSettingsAtClose();
  EXPECT_EQ(Stored(hive, kCurrentKey, "Community")->data, "changed");
}

TEST(SettingsStore, TotalsSurviveAnyNumberOfSaves) {
  MemoryHive hive;
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  s.Oid1.Total = 4096;
  s.Oid2.Total = 12;
  store.SaveTotals();
  EXPECT_EQ(hive.commits(), 1);
  for (int i = 0; i < 10; ++i) {
    s.Oid1.Total = 0;
    s.Oid2.Total = 0;
    store.SaveSettings();
  }
  TPlovexSettings again;
  HeadlessControls c2(again);
  SettingsStore(hive, again, c2).LoadSettings();
  EXPECT_EQ(again.Oid1.Total, 4096);
  EXPECT_EQ(again.Oid2.Total, 12);
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1Last")->data, "4096");
}

TEST(SettingsStore, AWriteTheHiveRefusesFailsNamingTheValueAndLosesNothing) {
  MemoryHive hive = DefaultKeyWith({{"OID1Last", "77"}});
  const HiveDocument before = hive.document();
  hive.set_writable(false);
  TPlovexSettings s;
  RecordingControls controls(s);
  SettingsStore store(hive, s, controls);
  EXPECT_EQ(MessageOf([&] { store.LoadSettings(); }), "Failed to set data for 'VersionNum'");
  EXPECT_EQ(s.MaxBytes, 64000) << "everything was read before the marker's commit failed";
  EXPECT_EQ(s.Oid1.Total, 77);
  EXPECT_EQ(controls.calls, std::vector<std::string>{"SettingsToControls"});
  EXPECT_EQ(MessageOf([&] { store.SaveSettingsAtClose(); }), "Failed to set data for 'VersionNum'")
      << "the record is whole: the closing save is tried";
  EXPECT_EQ(MessageOf([&] { store.SaveTotals(); }), "Failed to set data for 'OID1Last'");
  EXPECT_EQ(hive.document(), before);
}

TEST(SettingsStore, AHiveThatCannotBeOpenedIsNotWrittenAtSave) {
  MemoryHive hive;
  hive.set_readable(false);
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();  // no key can be seen: the defaults
  EXPECT_EQ(s.Refresh, 1);
  store.SaveSettings();
  store.SaveTotals();
  EXPECT_EQ(hive.commits(), 0);
}

// ---- The earlier version's key ----

std::string OldKeyValues(const std::string& version_lines) {
  return "\"Monitored IP\"=\"10.0.0.138\"\n"
         "\"Community\"=\"old\"\n"
         "\"OID 1\"=\"1.3.6.1.2.1.2.2.1.10.3\"\n"
         "\"OIDtextX1\"=\"4\"\n"
         "\"OIDtextY1\"=\"$10\"\n"
         "\"OIDcolor1\"=\"clLime\"\n"
         "\"OIDfull1\"=dword:00000000\n"
         "\"OID 2\"=\"1.3.6.1.2.1.2.2.1.16.3\"\n"
         "\"OIDtextX2\"=\"60\"\n"
         "\"OIDtextY2\"=\"1\"\n"
         "\"OIDcolor2\"=\"255\"\n"
         "\"OIDfull2\"=dword:00000001\n"
         "\"GraphTX\"=\"1\"\n\"GraphTY\"=\"11\"\n\"GraphBX\"=\"398\"\n\"GraphBY\"=\"140\"\n"
         "\"P1\"=\"1.1\"\n\"Ptype1\"=\"String\"\n\"ShowText1\"=dword:00000001\n"
         "\"Total Text1\"=\"A %1\"\n\"Total TextX1\"=\"1\"\n\"Total TextY1\"=\"2\"\n"
         "\"P2\"=\"2.2\"\n\"Ptype2\"=\"Time\"\n\"ShowText2\"=dword:00000000\n"
         "\"Total Text2\"=\"B %2\"\n\"Total TextX2\"=\"3\"\n\"Total TextY2\"=\"4\"\n"
         "\"P3\"=\"3.3\"\n\"Ptype3\"=\"String\"\n\"ShowText3\"=dword:00000001\n"
         "\"Total Text3\"=\"C %3\"\n\"Total TextX3\"=\"5\"\n\"Total TextY3\"=\"6\"\n"
         "\"P4\"=\"4.4\"\n\"Ptype4\"=\"NextAdp\"\n\"ShowText4\"=dword:00000001\n"
         "\"Total Text4\"=\"D %4\"\n\"Total TextX4\"=\"7\"\n\"Total TextY4\"=\"8\"\n"
         "\"Horizontal Ticks\"=dword:00000001\n"
         "\"Vertical Ticks\"=dword:00000000\n"
         "\"Text size\"=dword:00000008\n"
         "\"Save To Gif\"=dword:00000001\n"
         "\"Total up down\"=dword:00000001\n"
         "\"Total Text X\"=\"120\"\n\"Total Text Y\"=\"1\"\n" +
         version_lines +
         "\"ShowText5\"=dword:00000001\n\"Total Text5\"=\"E %5\"\n"
         "\"Total TextX5\"=\"9\"\n\"Total TextY5\"=\"10\"\n\"P5\"=\"5.5\"\n\"Ptype5\"=\"String\"\n"
         "\"Refresh\"=\"2\"\n\"TickFreq\"=\"10\"\n\"Graph Label\"=dword:00000001\n"
         "\"WindowState\"=dword:00000001\n\"WindowBorderStyle\"=dword:00000002\n"
         "\"WindowLockDrag\"=dword:00000001\n"
         "\"OIDcolor1Max\"=\"clYellow\"\n\"OIDcolor2Max\"=\"$00FF8080\"\n"
         "\"GIFSaveFrequency\"=dword:00000005\n"
         "\"Maximum\"=\"96000\"\n"
         "\"WindowsTop\"=dword:00000033\n\"WindowsLeft\"=dword:00000044\n";
}

std::string VersionNumLine(double v) {
  char line[128];
  unsigned char b[8];
  std::memcpy(b, &v, 8);
  std::snprintf(line, sizeof line, "\"VersionNum\"=hex:%02x,%02x,%02x,%02x,%02x,%02x,%02x,%02x\n",
                b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
  return line;
}

TEST(SettingsStore, VersionNumPassesTheGateFromTheNextDoubleAbove097On) {
  // 0.97 held in 80 bits lies between the double 0.97 and the next one up:
  // a gate compared in double precision would let the stored 0.97 through.
  const struct {
    double version_num;
    bool passes;
  } rows[] = {{0.97, false},
              {std::nextafter(0.97, 0.0), false},
              {std::nextafter(0.97, 1.0), true},
              {0.98, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.version_num);
    MemoryHive hive = HiveWith(
        kOldKey, OldKeyValues("\"Version\"=\"0.9.5\"\n" + VersionNumLine(row.version_num)));
    TPlovexSettings s;
    RecordingControls controls(s);
    SettingsStore(hive, s, controls).LoadSettings();
    EXPECT_EQ(s.WindowState, row.passes ? 1 : 0);
    EXPECT_EQ(s.SaveGifFreq, row.passes ? 5 : 0);
  }
}

TEST(SettingsStore, AnOldKeyIsTakenOverUnderItsGatesAndSavedAtOnce) {
  struct Case {
    std::string version_lines;
    bool version_095, above_097, maximum;
  };
  const std::vector<Case> cases = {
      {"\"Version\"=\"0.9.5\"\n" + VersionNumLine(0.98), true, true, true},
      {"\"Version\"=\"0.9.5\"\n" + VersionNumLine(0.97), true, false, true},
      {"\"Version\"=\"0.9.5\"\n", true, false, false},
      {"\"Version\"=\"0.9.4\"\n" + VersionNumLine(0.98), false, false, false},
      {"\"Version\"=\"0.9.5 \"\n" + VersionNumLine(0.98), false, false, false},
      {VersionNumLine(0.98), false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version_lines);
    MemoryHive hive = HiveWith(kOldKey, OldKeyValues(c.version_lines));
    const HiveKey old_before = *hive.document().FindKey(kOldKey);
    TPlovexSettings s;
    RecordingControls controls(s);
    SettingsStore(hive, s, controls).LoadSettings();
    EXPECT_EQ(controls.calls,
              (std::vector<std::string>{"SettingsToControls", "SettingsToControls"}));
    EXPECT_EQ(hive.commits(), 1) << "the migration save";

    // Always taken over.
    EXPECT_EQ(s.Ip, "10.0.0.138");
    EXPECT_EQ(s.Oid1.TextY, 16);
    EXPECT_EQ(s.Oid1.Color, 0x0000FF00u);
    EXPECT_EQ(s.Oid2.Color, 0x000000FFu);
    EXPECT_FALSE(s.Oid1.FullBars);
    EXPECT_EQ(s.GraphBottomY, 140);
    EXPECT_EQ(s.Texts[4].Kind, "NextAdp");
    EXPECT_EQ(s.Texts[2].Format, "B %2");
    EXPECT_FALSE(s.Texts[2].Enabled);
    EXPECT_EQ(s.Texts[4].Y, 8);
    EXPECT_EQ(s.TextSize, 8);
    EXPECT_EQ(s.TotalX, 120);
    EXPECT_EQ(s.WindowTop, 0x33);
    EXPECT_EQ(s.WindowLeft, 0x44);
    // Never in the old key.
    EXPECT_FALSE(s.Oid1.Gradient);
    EXPECT_FALSE(s.StayOnTop);
    EXPECT_EQ(s.Oid1.Total, 0);
    // Gated.
    EXPECT_EQ(s.Texts[5].Format, c.version_095 ? "E %5" : "");
    EXPECT_EQ(s.Texts[5].Enabled, c.version_095);
    EXPECT_EQ(s.Refresh, c.version_095 ? 2 : 1);  // absent: the default, never a zero divisor
    EXPECT_EQ(s.TickFreq, c.version_095 ? 10 : 1);
    EXPECT_EQ(s.GraphLabel, c.version_095);
    EXPECT_EQ(s.WindowState, c.above_097 ? 1 : 0);
    EXPECT_EQ(s.WindowBorderStyle, c.above_097 ? 2 : 0);
    EXPECT_EQ(s.LockDrag, c.above_097);
    EXPECT_EQ(s.Oid1.MaxColor, c.above_097 ? 0x0000FFFFu : 0u);
    EXPECT_EQ(s.SaveGifFreq, c.above_097 ? 5 : 0);
    EXPECT_EQ(s.MaxBytes, c.maximum ? 96000 : 64000);

    // Saved under the current key at once; the old key untouched.
    EXPECT_EQ(*hive.document().FindKey(kOldKey), old_before);
    TPlovexSettings reloaded;
    HeadlessControls c2(reloaded);
    SettingsStore(hive, reloaded, c2).LoadSettings();
    EXPECT_EQ(SettingsText(reloaded), SettingsText(s));
    EXPECT_EQ(Stored(hive, kCurrentKey, "WindowState")->data,
              std::string(c.above_097 ? "\1\0\0\0" : "\0\0\0\0", 4));
    EXPECT_EQ(Stored(hive, kCurrentKey, "OID1Last"), nullptr);
    EXPECT_EQ(s.SnmpVersion, "1");
    EXPECT_EQ(Stored(hive, kCurrentKey, "SNMPVersion")->data, "1");
  }
}

TEST(SettingsStore, AnOldKeyThatFailsIsNotMigratedAndIsTriedAgainNextTime) {
  std::string values = OldKeyValues("\"Version\"=\"0.9.5\"\n");
  values.replace(values.find("\"OIDtextX2\"=\"60\""), 16, "\"OIDtextX2\"=\"6O\"");
  MemoryHive hive = HiveWith(kOldKey, values);
  for (int start = 0; start < 2; ++start) {
    TPlovexSettings s;
    RecordingControls controls(s);
    EXPECT_EQ(MessageOf([&] { SettingsStore(hive, s, controls).LoadSettings(); }),
              "'6O' is not a valid integer value");
    EXPECT_EQ(controls.calls, std::vector<std::string>{"SettingsToControls"});
    EXPECT_EQ(s.Oid2.Oid, "1.3.6.1.2.1.2.2.1.16.3");
    EXPECT_EQ(s.Oid2.TextY, 0);
    EXPECT_FALSE(hive.document().KeyExists(kCurrentKey));
    EXPECT_EQ(hive.commits(), 0);
  }
}

TEST(SettingsStore, AFailedTakeOverCreatesNoCurrentKeyAndIsTakenOverOnceMended) {
  std::string values = OldKeyValues("\"Version\"=\"0.9.5\"\n");
  const std::string good = "\"GraphBY\"=\"140\"";
  values.replace(values.find(good), good.size(), "\"GraphBY\"=\"1 40\"");
  MemoryHive hive = HiveWith(kOldKey, values);
  {
    TPlovexSettings s;
    HeadlessControls controls(s);
    SettingsStore store(hive, s, controls);
    EXPECT_EQ(MessageOf([&] { store.LoadSettings(); }), "'1 40' is not a valid integer value");
    EXPECT_EQ(s.Ip, "10.0.0.138");
    EXPECT_EQ(s.GraphBottomY, 147) << "the failing value takes its default";
    EXPECT_EQ(s.Refresh, 1);
    s.Oid1.Total = 12;
    store.SaveTotals();  // a counter ran backwards during the run
    store.SaveSettingsAtClose();
    EXPECT_FALSE(hive.document().KeyExists(kCurrentKey));
    EXPECT_EQ(hive.commits(), 0);
  }
  // The user mends the value; the next start takes the old key over.
  HiveKey& old_key = hive.document().OpenOrCreateKey(kOldKey);
  old_key.Set({"GraphBY", hive_format::kRegSz, "140"});
  {
    TPlovexSettings s;
    HeadlessControls controls(s);
    SettingsStore(hive, s, controls).LoadSettings();
    EXPECT_EQ(s.GraphBottomY, 140);
    EXPECT_EQ(Stored(hive, kCurrentKey, "GraphBY")->data, std::string("\x8C\0\0\0", 4));
  }
}

TEST(SettingsStore, TotalsHeldBackByAFailedTakeOverAreSavedWhenTheUserApplies) {
  std::string values = OldKeyValues("\"Version\"=\"0.9.5\"\n");
  values.replace(values.find("\"GraphBY\"=\"140\""), 15, "\"GraphBY\"=\"x\"");
  MemoryHive hive = HiveWith(kOldKey, values);
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  EXPECT_ANY_THROW(store.LoadSettings());
  s.Oid1.Total = 12;
  store.SaveTotals();
  EXPECT_FALSE(hive.document().KeyExists(kCurrentKey));
  store.SettingsApplied();
  store.SaveSettingsAtClose();
  EXPECT_EQ(Stored(hive, kCurrentKey, "OID1Last")->data, "12");
  EXPECT_EQ(Stored(hive, kCurrentKey, "IP")->data, "10.0.0.138");
}

TEST(SettingsStore, TheCurrentKeyWinsOverTheOldOne) {
  MemoryHive hive = DefaultKeyWith({});
  hive.document().OpenOrCreateKey(kOldKey).Set({"Monitored IP", hive_format::kRegSz, "10.9.9.9"});
  TPlovexSettings s;
  HeadlessControls controls(s);
  SettingsStore(hive, s, controls).LoadSettings();
  EXPECT_EQ(s.Ip, "10.1.1.1");
}

}  // namespace
}  // namespace plovex
