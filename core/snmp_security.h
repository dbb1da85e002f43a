#pragma once
// The version 3 user that the settings describe (SnmpUser, SnmpAuthProtocol,
// SnmpPrivProtocol, SnmpAuthKey, SnmpPrivKey), for the client's Usm. Null
// with `problem` set ("unknown authentication protocol \"MD5\"", "no
// authentication key") when the settings do not make a usable user; the
// caller then sends nothing, rather than fall back to a lower security level.
//
// PassphraseToKeyText is how a typed passphrase becomes the stored master
// key of either protocol: the hexadecimal text of Ku (RFC 3414 A.2), made
// with the authentication protocol's hash. Empty for an empty passphrase or
// no (or an unknown) authentication protocol.
#include <optional>
#include <string>

#include "core/plovex_settings.h"
#include "snmp/usm_user.h"

namespace plovex {

std::optional<UsmUser> SettingsUsmUser(const TPlovexSettings& s, std::string& problem);

std::string PassphraseToKeyText(const std::string& auth_protocol, const std::string& passphrase);

}  // namespace plovex
