#include "core/apply_restart.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(ApplyMustRestart, FullScaleOrHostDecide) {
  TPlovexSettings s;
  ApplyDefaultSettings(s);
  const TypedSecurity same{"1", "", "", "", {}};
  EXPECT_FALSE(ApplyMustRestart(s, 64000, "192.168.1.1", same));
  EXPECT_TRUE(ApplyMustRestart(s, 64001, "192.168.1.1", same));
  EXPECT_TRUE(ApplyMustRestart(s, 64001, "10.0.0.1", same));
  // The host comparison is byte for byte.
  EXPECT_TRUE(ApplyMustRestart(s, 64000, "192.168.1.1 ", same));
  EXPECT_TRUE(ApplyMustRestart(s, 64000, "192.168.1.01", same));
  s.Ip = "Router";
  EXPECT_TRUE(ApplyMustRestart(s, 64000, "router", same));
}

// The client speaks as the new user only from a restart on.
TEST(ApplyMustRestart, AnyChangeToHowTheAgentIsSpokenTo) {
  TPlovexSettings s;
  ApplyDefaultSettings(s);
  s.SnmpVersion = "3";
  s.SnmpUser = "plovex";
  s.SnmpAuthProtocol = "SHA";
  s.SnmpPrivProtocol = "AES";
  const TypedSecurity applied{"3", "plovex", "SHA", "AES", {}};
  const struct {
    void (*change)(TypedSecurity&);
    bool restart;
    const char* what;
  } rows[] = {
      {[](TypedSecurity&) {}, false, "nothing"},
      {[](TypedSecurity& t) { t.version = "2c"; }, true, "the version"},
      {[](TypedSecurity& t) { t.user = "other"; }, true, "the user"},
      {[](TypedSecurity& t) { t.auth_protocol = "SHA-256"; }, true, "the authentication protocol"},
      {[](TypedSecurity& t) { t.priv_protocol = ""; }, true, "the privacy protocol"},
      {[](TypedSecurity& t) { t.passphrases.auth = "newauthpass"; }, true,
       "a new authentication passphrase, same protocol and user"},
      {[](TypedSecurity& t) { t.passphrases.priv = "newprivpass"; }, true,
       "a new privacy passphrase"},
  };
  for (const auto& row : rows) {
    TypedSecurity typed = applied;
    row.change(typed);
    EXPECT_EQ(ApplyMustRestart(s, 64000, "192.168.1.1", typed), row.restart) << row.what;
  }
}

}  // namespace
}  // namespace plovex
