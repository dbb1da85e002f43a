#include "core/snmp_security.h"

#include <gtest/gtest.h>

#include "snmp/usm_keys.h"

namespace plovex {
namespace {

std::string Key(const char* protocol, const char* passphrase) {
  return *PassphraseKey(protocol, passphrase);
}

TEST(SnmpSecurity, TheSettingsMakeTheUserAndItsLevel) {
  TPlovexSettings s;
  s.SnmpUser = "plovex";
  s.SnmpAuthProtocol = "SHA";
  s.SnmpPrivProtocol = "AES";
  s.SnmpAuthKey = Key("SHA", "maplesyrup");
  s.SnmpPrivKey = Key("SHA", "privpass123");
  EXPECT_EQ(s.SnmpAuthKey, "9FB5CC0381497B3793528939FF788D5D79145211");
  Result<UsmUser> user = SettingsUsmUser(s);
  ASSERT_TRUE(user) << user.status().message();
  EXPECT_EQ(user->Level(), UsmSecurityLevel::kAuthPriv);
  EXPECT_EQ(user->AuthKey, *KeyFromHex(s.SnmpAuthKey));
  EXPECT_EQ(user->PrivKey, *PasswordToKey(UsmAuthProtocol::kSha1, "privpass123"));

  // Without a privacy protocol the stored privacy key stays home.
  s.SnmpPrivProtocol = "";
  user = SettingsUsmUser(s);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->Level(), UsmSecurityLevel::kAuthNoPriv);
  EXPECT_EQ(user->PrivKey, "");
  s.SnmpAuthProtocol = "";
  user = SettingsUsmUser(s);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->Level(), UsmSecurityLevel::kNoAuthNoPriv);
  EXPECT_EQ(user->AuthKey, "");
}

TEST(SnmpSecurity, SettingsThatMakeNoUserAreNamed) {
  TPlovexSettings good;
  good.SnmpVersion = "3";
  good.SnmpUser = "plovex";
  good.SnmpAuthProtocol = "SHA-256";
  good.SnmpPrivProtocol = "AES";
  good.SnmpAuthKey = Key("SHA-256", "authpass123");
  good.SnmpPrivKey = Key("SHA-256", "privpass123");
  struct Row {
    void (*change)(TPlovexSettings&);
    const char* problem;
  } rows[] = {
      {[](TPlovexSettings& s) { s.SnmpAuthProtocol = "MD5"; },
       "unknown authentication protocol \"MD5\""},
      {[](TPlovexSettings& s) { s.SnmpPrivProtocol = "DES"; }, "unknown privacy protocol \"DES\""},
      {[](TPlovexSettings& s) { s.SnmpAuthKey = "authpass123"; },
       "authentication key is not hexadecimal"},
      {[](TPlovexSettings& s) { s.SnmpPrivKey = "12 34"; }, "privacy key is not hexadecimal"},
      {[](TPlovexSettings& s) { s.SnmpAuthKey = ""; }, "no authentication key"},
      {[](TPlovexSettings& s) { s.SnmpAuthKey = Key("SHA", "authpass123"); },
       "authentication key of the wrong length"},
      {[](TPlovexSettings& s) { s.SnmpAuthProtocol = ""; }, "privacy needs authentication"},
      {[](TPlovexSettings& s) { s.SnmpUser = ""; }, "no user name"},
  };
  TSNMPSend client;
  for (const Row& row : rows) {
    TPlovexSettings s = good;
    row.change(s);
    const Result<UsmUser> user = SettingsUsmUser(s);
    EXPECT_FALSE(user) << row.problem;
    EXPECT_EQ(user.status().message(), row.problem);
    // A client set up for such settings holds no user.
    client.Usm.Name = "before";
    EXPECT_EQ(ConfigureClient(s, client).message(), row.problem);
    EXPECT_EQ(client.Usm, UsmUser{});
  }
  ASSERT_TRUE(ConfigureClient(good, client).ok());
  EXPECT_EQ(client.Usm, *SettingsUsmUser(good));
  good.SnmpVersion = "2c";
  ASSERT_TRUE(ConfigureClient(good, client).ok());
  EXPECT_EQ(client.Usm, UsmUser{});

  for (const auto& [protocol, passphrase, code] :
       {std::tuple{"SHA", "", StatusCode::kInvalidArgument},
        {"SHA", "sevench", StatusCode::kInvalidArgument},
        {"MD5", "authpass123", StatusCode::kNotFound},
        {"", "authpass123", StatusCode::kNotFound}}) {
    EXPECT_EQ(PassphraseKey(protocol, passphrase).status().code(), code) << passphrase;
  }
}

// The rules Apply holds typed version 3 settings to, one row per rule broken.
TEST(SnmpSecurity, TypedVersion3SettingsAreRefusedWithTheFieldToMend) {
  TPlovexSettings applied;
  applied.SnmpAuthProtocol = "SHA";
  applied.SnmpAuthKey = Key("SHA", "maplesyrup");
  const TypedSecurity good{"3", "plovex", "SHA", "AES", {"", "privpass123"}};
  const struct {
    void (*change)(TypedSecurity&);
    SecurityField field;
    const char* message;
  } rows[] = {
      {[](TypedSecurity&) {}, SecurityField::kNone, ""},
      {[](TypedSecurity& t) { t.version = "1", t.user = ""; }, SecurityField::kNone, ""},
      {[](TypedSecurity& t) { t.user = ""; }, SecurityField::kUser, "SNMP version 3 needs a user."},
      {[](TypedSecurity& t) { t.auth_protocol = ""; }, SecurityField::kAuthProtocol,
       "Privacy needs authentication."},
      {[](TypedSecurity& t) { t.passphrases.auth = "sevench"; }, SecurityField::kAuthPassphrase,
       "A passphrase must be at least 8 characters."},
      {[](TypedSecurity& t) { t.passphrases.priv = "sevench"; }, SecurityField::kPrivPassphrase,
       "A passphrase must be at least 8 characters."},
      {[](TypedSecurity& t) { t.passphrases.auth = "eightch!"; }, SecurityField::kNone, ""},
      {[](TypedSecurity& t) { t.auth_protocol = "SHA-256"; }, SecurityField::kAuthPassphrase,
       "Type the authentication passphrase."},
      {[](TypedSecurity& t) { t.passphrases.priv = ""; }, SecurityField::kPrivPassphrase,
       "Type the privacy passphrase."},
  };
  for (const auto& row : rows) {
    TypedSecurity typed = good;
    row.change(typed);
    const SecurityCheck check = CheckSecurity(applied, typed);
    EXPECT_EQ(check.status.message(), row.message) << row.message;
    EXPECT_EQ(check.field, row.field) << row.message;
  }
}

TEST(SnmpSecurity, PassphrasesBecomeKeysOfTheAuthenticationProtocol) {
  TPlovexSettings s;
  s.SnmpAuthProtocol = "SHA";
  s.SnmpPrivKey = "stored";
  EXPECT_TRUE(TakePassphrases(s, {"maplesyrup", ""}).ok());
  EXPECT_EQ(s.SnmpAuthKey, "9FB5CC0381497B3793528939FF788D5D79145211");
  EXPECT_EQ(s.SnmpPrivKey, "stored") << "an empty passphrase keeps the key";
  // A short one makes no key; the other is taken all the same.
  EXPECT_EQ(TakePassphrases(s, {"sevench", "maplesyrup"}).message(),
            "A passphrase must be at least 8 characters.");
  EXPECT_EQ(s.SnmpAuthKey, "9FB5CC0381497B3793528939FF788D5D79145211");
  EXPECT_EQ(s.SnmpPrivKey, s.SnmpAuthKey);
}

TEST(SnmpSecurity, TheVersionField) {
  TPlovexSettings s;
  for (const auto& [text, version] :
       {std::pair{"1", 0}, {"2c", 1}, {"3", 3}, {"", 0}, {"v3", 0}, {"2C", 0}}) {
    s.SnmpVersion = text;
    EXPECT_EQ(s.SnmpMessageVersion(), version) << text;
  }
}

}  // namespace
}  // namespace plovex
