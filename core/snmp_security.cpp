#include "core/snmp_security.h"

#include <optional>

#include "snmp/ber_format.h"
#include "snmp/usm_keys.h"

namespace plovex {

namespace {

constexpr std::size_t kMinPassphraseBytes = 8;
constexpr const char* kShortPassphrase = "A passphrase must be at least 8 characters.";

bool TooShort(const std::string& passphrase) {
  return !passphrase.empty() && passphrase.size() < kMinPassphraseBytes;
}

SecurityCheck Refuse(SecurityField field, const char* message) {
  return {Status::InvalidArgument(message), field};
}

// The protocol names of the settings, as the client's enums; the calls to the
// USM user's parsing and its own check stay in these two functions.
Result<UsmAuthProtocol> AuthProtocol(const std::string& text) { return ParseUsmAuthProtocol(text); }

Result<UsmPrivProtocol> PrivProtocol(const std::string& text) { return ParseUsmPrivProtocol(text); }

Status UserProblem(const UsmUser& user) { return user.Check(); }

}  // namespace

SecurityCheck CheckSecurity(const TPlovexSettings& applied, const TypedSecurity& typed) {
  if (typed.version != "3") return {};
  const bool auth = !typed.auth_protocol.empty();
  const bool priv = !typed.priv_protocol.empty();
  const Passphrases& p = typed.passphrases;
  if (typed.user.empty()) return Refuse(SecurityField::kUser, "SNMP version 3 needs a user.");
  if (priv && !auth) return Refuse(SecurityField::kAuthProtocol, "Privacy needs authentication.");
  if (TooShort(p.auth)) return Refuse(SecurityField::kAuthPassphrase, kShortPassphrase);
  if (TooShort(p.priv)) return Refuse(SecurityField::kPrivPassphrase, kShortPassphrase);
  // The stored keys were made with the protocol's hash: another protocol
  // needs the passphrases again.
  const bool same_hash = typed.auth_protocol == applied.SnmpAuthProtocol;
  if (auth && p.auth.empty() && (!same_hash || applied.SnmpAuthKey.empty())) {
    return Refuse(SecurityField::kAuthPassphrase, "Type the authentication passphrase.");
  }
  if (priv && p.priv.empty() && (!same_hash || applied.SnmpPrivKey.empty())) {
    return Refuse(SecurityField::kPrivPassphrase, "Type the privacy passphrase.");
  }
  return {};
}

bool SecurityChanged(const TPlovexSettings& applied, const TypedSecurity& typed) {
  return typed.version != applied.SnmpVersion || typed.user != applied.SnmpUser ||
         typed.auth_protocol != applied.SnmpAuthProtocol ||
         typed.priv_protocol != applied.SnmpPrivProtocol || !typed.passphrases.auth.empty() ||
         !typed.passphrases.priv.empty();
}

Result<std::string> PassphraseKey(const std::string& auth_protocol, const std::string& passphrase) {
  if (passphrase.size() < kMinPassphraseBytes) return Status::InvalidArgument(kShortPassphrase);
  const Result<UsmAuthProtocol> protocol = AuthProtocol(auth_protocol);
  if (!protocol.ok() || *protocol == UsmAuthProtocol::kNone) {
    return Status::NotFound("no authentication protocol to make the key with");
  }
  const Result<std::string> key = PasswordToKey(*protocol, passphrase);
  if (!key.ok()) return key.status();
  return KeyToHex(*key);
}

Status TakePassphrases(TPlovexSettings& s, const Passphrases& passphrases) {
  Status first;
  for (const auto& [passphrase, key] : {std::pair{&passphrases.auth, &TPlovexSettings::SnmpAuthKey},
                                        {&passphrases.priv, &TPlovexSettings::SnmpPrivKey}}) {
    if (passphrase->empty()) continue;
    Result<std::string> made = PassphraseKey(s.SnmpAuthProtocol, *passphrase);
    if (made.ok()) {
      s.*key = *std::move(made);
    } else if (first.ok()) {
      first = made.status();
    }
  }
  return first;
}

Result<UsmUser> SettingsUsmUser(const TPlovexSettings& s) {
  UsmUser user;
  user.Name = s.SnmpUser;
  const Result<UsmAuthProtocol> auth = AuthProtocol(s.SnmpAuthProtocol);
  if (!auth.ok()) return auth.status();
  const Result<UsmPrivProtocol> priv = PrivProtocol(s.SnmpPrivProtocol);
  if (!priv.ok()) return priv.status();
  user.Auth = *auth;
  user.Priv = *priv;
  const Result<std::string> auth_key = KeyFromHex(s.SnmpAuthKey);
  if (!auth_key) return Status::InvalidArgument("authentication key is not hexadecimal");
  const Result<std::string> priv_key = KeyFromHex(s.SnmpPrivKey);
  if (!priv_key) return Status::InvalidArgument("privacy key is not hexadecimal");
  // Keys of a level not in use stay stored, but do not travel.
  if (user.Auth != UsmAuthProtocol::kNone) user.AuthKey = *auth_key;
  if (user.Priv != UsmPrivProtocol::kNone) user.PrivKey = *priv_key;
  if (Status problem = UserProblem(user); !problem.ok()) return problem;
  return user;
}

Status ConfigureClient(const TPlovexSettings& s, TSNMPSend& client) {
  client.Usm = UsmUser{};
  if (s.SnmpMessageVersion() != ber::kVersion3) return Status::Ok();
  Result<UsmUser> user = SettingsUsmUser(s);
  if (!user.ok()) return user.status();
  client.Usm = *std::move(user);
  return Status::Ok();
}

}  // namespace plovex
