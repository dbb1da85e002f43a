#include "snmp/usm_user.h"

namespace plovex {

namespace {

// RFC 3414 2.4: SnmpAdminString (SIZE(1..32)).
constexpr std::size_t kMaxUserName = 32;

}  // namespace

Status UsmUser::Check() const {
  const auto unusable = [](const char* problem) { return Status::InvalidArgument(problem); };
  if (Name.empty()) return unusable("no user name");
  if (Name.size() > kMaxUserName) return unusable("user name longer than 32 bytes");
  if (Auth == UsmAuthProtocol::kNone) {
    return Priv == UsmPrivProtocol::kNone ? Status::Ok() : unusable("privacy needs authentication");
  }
  const std::size_t key_length = UsmAuthRow(Auth).key_length;
  if (AuthKey.size() != key_length) {
    return unusable(AuthKey.empty() ? "no authentication key"
                                    : "authentication key of the wrong length");
  }
  if (Priv != UsmPrivProtocol::kNone && PrivKey.size() != key_length) {
    return unusable(PrivKey.empty() ? "no privacy key" : "privacy key of the wrong length");
  }
  return Status::Ok();
}

}  // namespace plovex
