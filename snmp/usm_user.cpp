#include "snmp/usm_user.h"

#include "snmp/usm_keys.h"

namespace plovex {

namespace {

// RFC 3414 2.4: SnmpAdminString (SIZE(1..32)).
constexpr std::size_t kMaxUserName = 32;

}  // namespace

std::string UsmUser::Problem() const {
  if (Name.empty()) return "no user name";
  if (Name.size() > kMaxUserName) return "user name longer than 32 bytes";
  if (Auth == UsmAuthProtocol::kNone) {
    return Priv == UsmPrivProtocol::kNone ? "" : "privacy needs authentication";
  }
  if (AuthKey.size() != UsmKeyLength(Auth)) {
    return AuthKey.empty() ? "no authentication key" : "authentication key of the wrong length";
  }
  if (Priv != UsmPrivProtocol::kNone && PrivKey.size() != UsmKeyLength(Auth)) {
    return PrivKey.empty() ? "no privacy key" : "privacy key of the wrong length";
  }
  return "";
}

bool ParseUsmAuthProtocol(const std::string& text, UsmAuthProtocol& out) {
  if (text.empty()) {
    out = UsmAuthProtocol::kNone;
  } else if (text == "SHA") {
    out = UsmAuthProtocol::kSha1;
  } else if (text == "SHA-256") {
    out = UsmAuthProtocol::kSha256;
  } else {
    return false;
  }
  return true;
}

bool ParseUsmPrivProtocol(const std::string& text, UsmPrivProtocol& out) {
  if (text.empty()) {
    out = UsmPrivProtocol::kNone;
  } else if (text == "AES") {
    out = UsmPrivProtocol::kAes128;
  } else {
    return false;
  }
  return true;
}

}  // namespace plovex
