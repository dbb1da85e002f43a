#pragma once
// The numeric forms a user may give as the host: a dotted IPv4 address
// ("192.168.1.1"), or an IPv6 address ("2001:db8::1"), optionally in
// brackets ("[2001:db8::1]") and, for a link-local address, with its
// interface by name or number after "%" ("fe80::1%eth0", "fe80::1%2"). An
// IPv4-mapped IPv6 address ("::ffff:192.168.1.1") is the IPv4 address.
// Parsing sends nothing; an interface name is looked up among this
// machine's interfaces.
#include <optional>
#include <string_view>

#include "snmp/udp_transport.h"

namespace plovex {

// The address (port 0) that `text` spells; nullopt when it is none of the
// forms above, or names an interface this machine does not have.
std::optional<UdpEndpoint> ParseIpAddress(std::string_view text);

}  // namespace plovex
