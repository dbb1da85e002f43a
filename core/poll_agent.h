#pragma once
// PollAgent: one poll of the monitored host, the first step of every tick.
//
// One GetRequest (version 0, request-id 1, time-out 1000 ms) through the
// window's long-lived client carries Oid1.Oid, Oid2.Oid and the Oid of every
// enabled overlay, in overlay order. When overlay 4 is enabled with kind
// "NextAdp", GetNextRequests then walk its address column and keep the last
// address that contains neither Ip nor "0.0.0.0". Each non-empty counter text
// moves the channel's Value into PrevValue and becomes the new Value.
//
// texts receives counter 1, counter 2 and the overlay values 1 to 5 as
// display text: "N/A" for a missing value (disabled overlays included), days
// and clock time for kind "Time", otherwise the text as received.
//
// Failure: a main exchange without a usable reply sets SnmpFailed and returns
// false; from then on every poll sends nothing and returns seven empty texts
// until Start clears the flag. A reply that reports an error yields no value
// for any identifier of the request. A counter or "Time" value that is not a
// decimal integer throws PlovexError("'<text>' is not a valid integer value")
// after the counters before it were stored (a failing counter has already
// had its Value copied into PrevValue). A failing step of the walk only ends
// the walk, which also ends when the agent stops advancing or after 10,000
// rows.
#include <array>
#include <string>

#include "core/plovex_settings.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

using PollTexts = std::array<std::string, 7>;  // counter 1, counter 2, overlay values 1..5

bool PollAgent(TPlovexSettings& s, TSNMPSend& client, PollTexts& texts);

}  // namespace plovex
