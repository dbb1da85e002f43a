#pragma once
// UsmUser: who the SNMP version 3 client speaks as under the User-based
// Security Model (RFC 3414): the user name, the authentication and privacy
// protocols, and their master keys Ku (RFC 3414 A.2, raw bytes). The keys
// are never the passphrases: PasswordToKey (usm_keys.h) turns a passphrase
// into Ku once, and only Ku is kept.
//
// The security level follows from the protocols: no authentication protocol
// is noAuthNoPriv, an authentication protocol alone authNoPriv, both
// authPriv. Privacy without authentication does not exist (RFC 3414 3.1.1);
// Check() names that and any key that does not fit its protocol, and the
// client sends nothing for such a user rather than fall back to a lower level.
#include <string>

#include "base/status.h"
#include "snmp/usm_protocol.h"

namespace plovex {

enum class UsmSecurityLevel { kNoAuthNoPriv, kAuthNoPriv, kAuthPriv };

struct UsmUser {
  std::string Name;
  UsmAuthProtocol Auth = UsmAuthProtocol::kNone;
  UsmPrivProtocol Priv = UsmPrivProtocol::kNone;
  std::string AuthKey;  // Ku for authentication, raw bytes
  std::string PrivKey;  // Ku for privacy, made with the authentication hash

  UsmSecurityLevel Level() const {
    if (Auth == UsmAuthProtocol::kNone) return UsmSecurityLevel::kNoAuthNoPriv;
    return Priv == UsmPrivProtocol::kNone ? UsmSecurityLevel::kAuthNoPriv
                                          : UsmSecurityLevel::kAuthPriv;
  }

  // Ok when the user can be used; otherwise kInvalidArgument with what is
  // wrong with it as a short lower-case phrase ("no authentication key").
  Status Check() const;

  bool operator==(const UsmUser&) const = default;
};

}  // namespace plovex
