#include "snmp/usm_keys.h"

#include "base/hex_digits.h"
#include "snmp/usm_crypto.h"

namespace plovex {

namespace {

// RFC 3414 A.2: one megabyte of the repeated passphrase is hashed.
constexpr std::size_t kPasswordBytes = 1048576;

}  // namespace

Result<std::string> PasswordToKey(UsmAuthProtocol protocol, std::string_view passphrase) {
  if (passphrase.empty()) return Status::InvalidArgument("empty passphrase");
  if (protocol == UsmAuthProtocol::kNone) {
    return Status::InvalidArgument("a passphrase without an authentication protocol");
  }
  return UsmDigestRepeated(protocol, passphrase, kPasswordBytes);
}

Result<std::string> LocalizeKey(UsmAuthProtocol protocol, std::string_view master_key,
                                std::string_view engine_id) {
  std::string input;
  input.reserve(2 * master_key.size() + engine_id.size());
  input.append(master_key).append(engine_id).append(master_key);
  return UsmDigest(protocol, input);
}

std::string KeyToHex(std::string_view key) {
  std::string out;
  out.reserve(2 * key.size());
  for (const char c : key) AppendHexByte(out, static_cast<unsigned char>(c), HexCase::kUpper);
  return out;
}

Result<std::string> KeyFromHex(std::string_view text) {
  const auto not_hex = [] {
    return Status::InvalidArgument("a key is an even number of hexadecimal digits");
  };
  if (text.size() % 2 != 0) return not_hex();
  std::string key;
  key.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigitValue(text[i]);
    const int low = HexDigitValue(text[i + 1]);
    if (high < 0 || low < 0) return not_hex();
    key.push_back(static_cast<char>(high << 4 | low));
  }
  return key;
}

}  // namespace plovex
