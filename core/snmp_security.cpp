#include "core/snmp_security.h"

#include "snmp/usm_keys.h"

namespace plovex {

std::optional<UsmUser> SettingsUsmUser(const TPlovexSettings& s, std::string& problem) {
  UsmUser user;
  user.Name = s.SnmpUser;
  if (!ParseUsmAuthProtocol(s.SnmpAuthProtocol, user.Auth)) {
    problem = "unknown authentication protocol \"" + s.SnmpAuthProtocol + "\"";
    return std::nullopt;
  }
  if (!ParseUsmPrivProtocol(s.SnmpPrivProtocol, user.Priv)) {
    problem = "unknown privacy protocol \"" + s.SnmpPrivProtocol + "\"";
    return std::nullopt;
  }
  const std::optional<std::string> auth_key = KeyFromHex(s.SnmpAuthKey);
  const std::optional<std::string> priv_key = KeyFromHex(s.SnmpPrivKey);
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
  problem = user.Problem();
  if (!problem.empty()) return std::nullopt;
  return user;
}

std::string PassphraseToKeyText(const std::string& auth_protocol, const std::string& passphrase) {
  UsmAuthProtocol protocol = UsmAuthProtocol::kNone;
  if (!ParseUsmAuthProtocol(auth_protocol, protocol)) return "";
  const std::optional<std::string> key = PasswordToKey(protocol, passphrase);
  return key ? KeyToHex(*key) : "";
}

}  // namespace plovex
