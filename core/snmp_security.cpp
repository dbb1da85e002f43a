#include "core/snmp_security.h"

#include "snmp/usm_keys.h"

namespace plovex {

std::optional<UsmUser> SettingsUsmUser(const TPlovexSettings& s, std::string& problem) {
  UsmUser user;
  user.Name = s.SnmpUser;
  const Result<UsmAuthProtocol> auth = ParseUsmAuthProtocol(s.SnmpAuthProtocol);
  if (!auth) {
    problem = auth.status().message();
    return std::nullopt;
  }
  user.Auth = *auth;
  const Result<UsmPrivProtocol> priv = ParseUsmPrivProtocol(s.SnmpPrivProtocol);
  if (!priv) {
    problem = priv.status().message();
    return std::nullopt;
  }
  user.Priv = *priv;
  const Result<std::string> auth_key = KeyFromHex(s.SnmpAuthKey);
  const Result<std::string> priv_key = KeyFromHex(s.SnmpPrivKey);
  if (!auth_key) {
    problem = "authentication key is not hexadecimal";
    return std::nullopt;
  }
  if (!priv_key) {
    problem = "privacy key is not hexadecimal";
    return std::nullopt;
  }
  // Keys of a level not in use stay stored, but do not travel.
  if (user.Auth != UsmAuthProtocol::kNone) user.AuthKey = *auth_key;
  if (user.Priv != UsmPrivProtocol::kNone) user.PrivKey = *priv_key;
  problem = user.Check().message();
  if (!problem.empty()) return std::nullopt;
  return user;
}

std::string PassphraseToKeyText(const std::string& auth_protocol, const std::string& passphrase) {
  const Result<UsmAuthProtocol> protocol = ParseUsmAuthProtocol(auth_protocol);
  if (!protocol) return "";
  const Result<std::string> key = PasswordToKey(*protocol, passphrase);
  return key ? KeyToHex(*key) : "";
}

}  // namespace plovex
