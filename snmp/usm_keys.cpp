#include "snmp/usm_keys.h"

#include "snmp/usm_crypto.h"

namespace plovex {

namespace {

// RFC 3414 A.2: one megabyte of the repeated passphrase is hashed.
constexpr std::size_t kPasswordBytes = 1048576;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::size_t UsmKeyLength(UsmAuthProtocol protocol) {
  switch (protocol) {
    case UsmAuthProtocol::kSha1:
      return 20;
    case UsmAuthProtocol::kSha256:
      return 32;
    case UsmAuthProtocol::kNone:
      break;
  }
  return 0;
}

std::optional<std::string> PasswordToKey(UsmAuthProtocol protocol, std::string_view passphrase) {
  if (passphrase.empty() || protocol == UsmAuthProtocol::kNone) return std::nullopt;
  std::string key = UsmDigestRepeated(protocol, passphrase, kPasswordBytes);
  if (key.size() != UsmKeyLength(protocol)) return std::nullopt;
  return key;
}

std::string LocalizeKey(UsmAuthProtocol protocol, std::string_view master_key,
                        std::string_view engine_id) {
  std::string input;
  input.reserve(2 * master_key.size() + engine_id.size());
  input.append(master_key).append(engine_id).append(master_key);
  return UsmDigest(protocol, input);
}

std::string KeyToHex(std::string_view key) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(2 * key.size());
  for (const char c : key) {
    out.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
    out.push_back(kDigits[static_cast<unsigned char>(c) & 0xF]);
  }
  return out;
}

std::optional<std::string> KeyFromHex(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::string key;
  key.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    key.push_back(static_cast<char>(high << 4 | low));
  }
  return key;
}

}  // namespace plovex
