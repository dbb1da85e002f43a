#pragma once
// The keys of the User-based Security Model (RFC 3414 2.6, A.2; RFC 7860 for
// SHA-256): a passphrase becomes the master key Ku by hashing 1,048,576 bytes
// of the passphrase repeated; Ku becomes the key of one agent, the localized
// key Kul = H(Ku || snmpEngineID || Ku). The privacy key is made the same way
// with the authentication protocol's hash (RFC 3826 1.2.1); AES uses its
// first 16 bytes.
//
// Keys travel between the settings and the client as hexadecimal text (two
// digits a byte, either case on reading, upper case on writing).
//
// The hashing is OpenSSL's libcrypto. Nothing here throws.
#include <string>
#include <string_view>

#include "base/status.h"
#include "snmp/usm_protocol.h"

namespace plovex {

// Ku of a passphrase (UsmAuthRow(protocol).key_length bytes);
// kInvalidArgument for an empty passphrase (which has no repetition) or no
// protocol, kIoError when libcrypto fails.
Result<std::string> PasswordToKey(UsmAuthProtocol protocol, std::string_view passphrase);

// Kul of a master key for one engine; kInvalidArgument for no protocol.
Result<std::string> LocalizeKey(UsmAuthProtocol protocol, std::string_view master_key,
                                std::string_view engine_id);

std::string KeyToHex(std::string_view key);
// The key of an even number of hexadecimal digits; kInvalidArgument for any
// other text (blanks, colons and a "0x" are not accepted: a key is written by
// the program).
Result<std::string> KeyFromHex(std::string_view text);

}  // namespace plovex
