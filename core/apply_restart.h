#pragma once
// Whether Apply must clear and restart the graph, over the applied record and
// what the panel holds: the typed full-scale value differs from MaxBytes; or
// the typed host differs from Ip byte for byte (a trailing blank counts); or
// the version 3 settings change (SecurityChanged: the version, the user, a
// protocol, or a passphrase typed), since the client speaks as the new user
// only from the restart on. Anything else takes effect from the next tick.
#include <cstdint>
#include <string_view>

#include "core/plovex_settings.h"
#include "core/snmp_security.h"

namespace plovex {

bool ApplyMustRestart(const TPlovexSettings& applied, std::int32_t typed_max_bytes,
                      std::string_view typed_ip, const TypedSecurity& typed_security);

}  // namespace plovex
