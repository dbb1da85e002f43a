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
// Problem() names that and any key that does not fit its protocol, and the
// client sends nothing for such a user rather than fall back to a lower level.
#include <cstddef>
#include <cstdint>
#include <string>

namespace plovex {

enum class UsmAuthProtocol {
  kNone,
  kSha1,    // usmHMACSHAAuthProtocol: HMAC-SHA-1, MAC truncated to 12 bytes (RFC 3414)
  kSha256,  // usmHMAC192SHA256AuthProtocol: HMAC-SHA-256, MAC of 24 bytes (RFC 7860)
};

enum class UsmPrivProtocol {
  kNone,
  kAes128,  // usmAesCfb128Protocol (RFC 3826)
};

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

  // Empty when the user can be used; otherwise what is wrong with it, as a
  // short lower-case phrase ("no authentication key").
  std::string Problem() const;

  bool operator==(const UsmUser&) const = default;
};

// The parsing of the protocol names of the settings: "SHA", "SHA-256" and
// "AES" (upper case, as written there), the empty text for none. Any other
// text yields false and leaves `out` alone.
bool ParseUsmAuthProtocol(const std::string& text, UsmAuthProtocol& out);
bool ParseUsmPrivProtocol(const std::string& text, UsmPrivProtocol& out);

}  // namespace plovex
