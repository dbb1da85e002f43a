#pragma once
// The protocols of the User-based Security Model that Plovex speaks, one row
// each: everything the key, MAC, encryption and settings code needs to know
// of a protocol is in its row, so that a protocol is added by adding a row.
//
//   authentication: usmHMACSHAAuthProtocol (RFC 3414: HMAC-SHA-1, MAC cut to
//   12 bytes) and usmHMAC192SHA256AuthProtocol (RFC 7860: HMAC-SHA-256, MAC
//   of 24 bytes); the keys Ku and Kul are as long as the hash.
//   privacy: usmAesCfb128Protocol (RFC 3826: AES-128 in CFB mode, a 16-byte
//   IV made of boots, time and an 8-byte salt).
//
// The names are those of the settings ("SHA", "SHA-256", "AES"); the empty
// name is no protocol (the row of kNone, with zero lengths and no algorithm).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace plovex {

enum class UsmAuthProtocol : std::uint8_t { kNone, kSha1, kSha256 };
enum class UsmPrivProtocol : std::uint8_t { kNone, kAes128 };

struct UsmAuthProtocolRow {
  UsmAuthProtocol protocol;
  std::string_view name;
  std::size_t mac_length;  // bytes of the authentication parameters
  std::size_t key_length;  // bytes of Ku and Kul
};

struct UsmPrivProtocolRow {
  UsmPrivProtocol protocol;
  std::string_view name;
  std::size_t key_length;  // bytes of the (localized) key used
  std::size_t iv_length;
  std::size_t salt_length;  // bytes of the privacy parameters
};

// The row of a protocol.
const UsmAuthProtocolRow& UsmAuthRow(UsmAuthProtocol protocol);
const UsmPrivProtocolRow& UsmPrivRow(UsmPrivProtocol protocol);

// The settings names of every protocol, none ("") first, for a choice list.
std::vector<std::string_view> UsmAuthNames();
std::vector<std::string_view> UsmPrivNames();

// The protocol of a settings name (exact, upper case as written there; the
// empty text for none); kInvalidArgument naming the text for any other.
Result<UsmAuthProtocol> ParseUsmAuthProtocol(std::string_view name);
Result<UsmPrivProtocol> ParseUsmPrivProtocol(std::string_view name);

}  // namespace plovex
