#pragma once
// UsmSecurityParameters: the security parameters of a version 3 message under
// the User-based Security Model (RFC 3414 2.4), carried BER-encoded inside the
// message's msgSecurityParameters OCTET STRING:
//   SEQUENCE { msgAuthoritativeEngineID OCTET STRING,
//              msgAuthoritativeEngineBoots INTEGER (0..2147483647),
//              msgAuthoritativeEngineTime INTEGER (0..2147483647),
//              msgUserName OCTET STRING (SIZE(0..32)),
//              msgAuthenticationParameters OCTET STRING,
//              msgPrivacyParameters OCTET STRING }
//
// Encode never fails. Decode takes exactly this layout filling its input and
// nothing else (kCorruption otherwise, saying what was wrong); it never reads
// outside its input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace plovex {

struct UsmSecurityParameters {
  std::string EngineId;
  std::int32_t EngineBoots = 0;
  std::int32_t EngineTime = 0;
  std::string UserName;
  std::string AuthParameters;  // the MAC, or zeros while it is computed
  std::string PrivParameters;  // the salt of AES

  bool operator==(const UsmSecurityParameters&) const = default;
};

// The SEQUENCE, appended to out; auth_offset (when given) receives the
// position in `out` of the authentication parameters' content.
void AppendUsmSecurityParameters(const UsmSecurityParameters& p, std::string& out,
                                 std::size_t* auth_offset = nullptr);

// The parameters of `bytes`, the content of msgSecurityParameters. The
// authentication parameters' content position relative to bytes.data() goes
// to auth_offset when given.
Result<UsmSecurityParameters> DecodeUsmSecurityParameters(std::string_view bytes,
                                                          std::size_t* auth_offset = nullptr);

}  // namespace plovex
