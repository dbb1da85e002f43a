#pragma once
// The version 3 security of the settings, decided here once for the panel,
// the settings store, the poll and the counter reset:
//
//   CheckSecurity     whether version 3 settings, as typed, make a usable
//                     user (a user; privacy only with authentication;
//                     passphrases of at least 8 bytes; a passphrase wherever
//                     no stored key fits the protocol), and if not, why and
//                     which field to mend;
//   TakePassphrases   typed (or hand-written) passphrases into the master
//                     keys of the record, under the same length rule;
//   SettingsUsmUser   the user the record describes, its keys parsed;
//   ConfigureClient   a client set up to speak as the settings say, done
//                     when the settings are loaded or applied, never per
//                     exchange.
//
// The keys are the hexadecimal text of Ku (RFC 3414 A.2), both made with the
// authentication protocol's hash; the record never holds a passphrase.
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "snmp/tsnmp_send.h"
#include "snmp/usm_user.h"

namespace plovex {

// The passphrases, as typed on the panel or written into the hive by hand.
// Empty: keep the stored key.
struct Passphrases {
  std::string auth;
  std::string priv;
};

// The version 3 settings as the panel holds them before Apply.
struct TypedSecurity {
  std::string version;  // "1", "2c" or "3"
  std::string user;
  std::string auth_protocol;
  std::string priv_protocol;
  Passphrases passphrases;
};

// The field a refusal asks the user to mend.
enum class SecurityField { kNone, kUser, kAuthProtocol, kAuthPassphrase, kPrivPassphrase };

struct SecurityCheck {
  Status status;  // ok, or the refusal with its message
  SecurityField field = SecurityField::kNone;
};

// The rules Apply holds typed version 3 settings to, against the keys the
// record `applied` holds. Another version is never refused. Messages:
// "SNMP version 3 needs a user.", "Privacy needs authentication.",
// "A passphrase must be at least 8 characters.", "Type the authentication
// passphrase.", "Type the privacy passphrase." (the first rule broken wins).
SecurityCheck CheckSecurity(const TPlovexSettings& applied, const TypedSecurity& typed);

// Whether the typed version 3 settings differ from the applied record: the
// version, the user, a protocol, or any passphrase typed at all.
bool SecurityChanged(const TPlovexSettings& applied, const TypedSecurity& typed);

// The master key text of one passphrase with the hash of `auth_protocol`.
// Fails with "A passphrase must be at least 8 characters." (kInvalidArgument)
// for a shorter one, and with kNotFound when there is no known authentication
// protocol to make the key with.
Result<std::string> PassphraseKey(const std::string& auth_protocol, const std::string& passphrase);

// Each passphrase given becomes its key in `s`, with s's authentication
// protocol. One that fails (see PassphraseKey) leaves its key as it was; the
// first failure is returned, after the other passphrase was taken.
Status TakePassphrases(TPlovexSettings& s, const Passphrases& passphrases);

// The version 3 user the record describes. Fails (kInvalidArgument) with what
// makes it unusable ("unknown authentication protocol \"MD5\"", "no
// authentication key"): the caller then sends nothing, rather than fall back to
// a lower security level.
Result<UsmUser> SettingsUsmUser(const TPlovexSettings& s);

// Sets the client up for the settings: in version 3 as SettingsUsmUser,
// otherwise with no user (the community travels in each request). A failure is
// SettingsUsmUser's; the client then holds no user and nothing may be sent.
Status ConfigureClient(const TPlovexSettings& s, TSNMPSend& client);

}  // namespace plovex
