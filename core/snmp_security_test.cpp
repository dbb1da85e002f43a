#include "core/snmp_security.h"

#include <gtest/gtest.h>

#include "snmp/usm_keys.h"

namespace plovex {
namespace {

TEST(SnmpSecurity, TheSettingsMakeTheUserAndItsLevel) {
  TPlovexSettings s;
  s.SnmpUser = "plovex";
  s.SnmpAuthProtocol = "SHA";
  s.SnmpPrivProtocol = "AES";
  s.SnmpAuthKey = PassphraseToKeyText("SHA", "maplesyrup");
  s.SnmpPrivKey = PassphraseToKeyText("SHA", "privpass123");
  EXPECT_EQ(s.SnmpAuthKey, "9FB5CC0381497B3793528939FF788D5D79145211");
  std::string problem;
  auto user = SettingsUsmUser(s, problem);
  ASSERT_TRUE(user) << problem;
  EXPECT_EQ(user->Level(), UsmSecurityLevel::kAuthPriv);
  EXPECT_EQ(user->AuthKey, *KeyFromHex(s.SnmpAuthKey));
  EXPECT_EQ(user->PrivKey, *PasswordToKey(UsmAuthProtocol::kSha1, "privpass123"));

  // Without a privacy protocol the stored privacy key stays home.
  s.SnmpPrivProtocol = "";
  user = SettingsUsmUser(s, problem);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->Level(), UsmSecurityLevel::kAuthNoPriv);
  EXPECT_EQ(user->PrivKey, "");
  s.SnmpAuthProtocol = "";
  user = SettingsUsmUser(s, problem);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->Level(), UsmSecurityLevel::kNoAuthNoPriv);
  EXPECT_EQ(user->AuthKey, "");
}

TEST(SnmpSecurity, SettingsThatMakeNoUserAreNamed) {
  TPlovexSettings good;
  good.SnmpUser = "plovex";
  good.SnmpAuthProtocol = "SHA-256";
  good.SnmpPrivProtocol = "AES";
  good.SnmpAuthKey = PassphraseToKeyText("SHA-256", "authpass123");
  good.SnmpPrivKey = PassphraseToKeyText("SHA-256", "privpass123");
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
      {[](TPlovexSettings& s) { s.SnmpAuthKey = PassphraseToKeyText("SHA", "authpass123"); },
       "authentication key of the wrong length"},
      {[](TPlovexSettings& s) { s.SnmpAuthProtocol = ""; }, "privacy needs authentication"},
      {[](TPlovexSettings& s) { s.SnmpUser = ""; }, "no user name"},
  };
  for (const Row& row : rows) {
    TPlovexSettings s = good;
    row.change(s);
    std::string problem;
    EXPECT_FALSE(SettingsUsmUser(s, problem)) << row.problem;
    EXPECT_EQ(problem, row.problem);
  }
  EXPECT_EQ(PassphraseToKeyText("SHA", ""), "");
  EXPECT_EQ(PassphraseToKeyText("MD5", "authpass123"), "");
  EXPECT_EQ(PassphraseToKeyText("", "authpass123"), "");
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
