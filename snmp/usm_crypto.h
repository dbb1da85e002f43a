#pragma once
// The cryptography of the User-based Security Model, all of it from OpenSSL's
// libcrypto: the message authentication codes of RFC 3414 6/7 (HMAC-SHA-96)
// and RFC 7860 (HMAC-192-SHA-256), AES-128 in CFB mode with a 128-bit
// feedback for privacy (RFC 3826 3.1), digests for the keys, and random
// numbers for the first message identifiers and salts.
//
// Nothing here throws. Every result is a Result: kInvalidArgument for no
// protocol or a key or IV too short, kIoError for a libcrypto failure (which
// only a broken installation gives); a code that cannot be computed never
// matches a received one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "snmp/usm_protocol.h"

namespace plovex {

// The hash H of the protocol over `data`.
Result<std::string> UsmDigest(UsmAuthProtocol protocol, std::string_view data);

// H over the first `count` bytes of `pattern` repeated endlessly;
// kInvalidArgument for an empty pattern.
Result<std::string> UsmDigestRepeated(UsmAuthProtocol protocol, std::string_view pattern,
                                      std::size_t count);

// The HMAC of `message` with the localized key, cut to the row's mac_length.
Result<std::string> UsmMac(UsmAuthProtocol protocol, std::string_view key,
                           std::string_view message);

// Whether `mac` is the code of `message`, compared in constant time.
bool UsmMacMatches(UsmAuthProtocol protocol, std::string_view key, std::string_view message,
                   std::string_view mac);

// AES-128-CFB128 of `data` with the first 16 bytes of `key` and a 16-byte iv;
// the same length out.
Result<std::string> Aes128CfbEncrypt(std::string_view key, std::string_view iv,
                                     std::string_view data);
Result<std::string> Aes128CfbDecrypt(std::string_view key, std::string_view iv,
                                     std::string_view data);

// A random number from libcrypto's generator.
Result<std::uint64_t> UsmRandom64();

}  // namespace plovex
