#pragma once
// PollAgent: one poll of the monitored host, the first step of every tick.
//
// One GetRequest (version 0, or 1 when SnmpVersion is "2c"; request-id 1,
// time-out 1000 ms; in version 3 as the settings' user, see snmp_security.h)
// through the window's long-lived client carries Oid1.Oid, Oid2.Oid and the
// Oid of every enabled overlay, in overlay order. When overlay 4 is enabled
// with kind "NextAdp", GetNextRequests (GetBulkRequests of 10 rows in
// versions 2c and 3) then walk its address column and keep the last address
// that contains neither Ip nor "0.0.0.0". In versions 2c and 3 an identifier
// the agent lacks comes back as an exception for its binding alone and reads
// as empty. Each non-empty counter text moves the channel's Value into
// PrevValue and becomes the new Value.
//
// While "Interface" is set, the GetRequest also carries sysUpTime.0 and the
// ifOperStatus of the interface Oid1 counts, whose texts the poll leaves in
// SnmpMemory.Uptime and SnmpMemory.InterfaceStatus for the interface follower.
// AskUptime alone adds sysUpTime.0 the same way, for the metrics.
//
// texts receives counter 1, counter 2 and the overlay values 1 to 5 as
// display text: "N/A" for a missing value (disabled overlays included), days
// and clock time for kind "Time", otherwise the text as received.
//
// An agent that refuses part of the request is still read for the rest:
//   - noSuchName naming binding i: the request goes again without it, once
//     per binding at most; the identifier reads as empty and is remembered in
//     SnmpMemory, so later polls leave it out while host, community and
//     identifiers stay as they are (Start forgets it, and so does the poll
//     after ten minutes or after the host was silent, in case the object came
//     back);
//   - tooBig: the counters and the overlays go in two requests (the overlays
//     one by one if that is still too big);
//   - any other error, or an error-index naming no binding, reads as empty
//     for every identifier of that request.
// However the agent answers, one poll sends at most bindings + 2
// GetRequests, and after the first of them sends no more once 2 seconds have
// gone by.
//
// `security` is what ConfigureClient (snmp_security.h) said when the client
// was set up for these settings; the poll does not set the client up itself.
//
// Silence: a GetRequest that gets no reply sets SnmpFailed and returns false
// with the overlays "N/A"; SnmpMemory.FailureReason then says why when a
// version 3 agent refused ("wrong authentication key", the client's Failure)
// or `security` failed (nothing is sent then: its message is the reason), and
// is empty for plain silence. Polls then send nothing and return seven empty
// texts, except that a try goes out by itself 5 seconds later, then after
// twice the time before, up to once a minute; the first answer clears
// SnmpFailed and marks both channels for a NewBaseline. Start clears the flag
// at once.
//
// The walk ends at the end of the column or of the agent's view (endOfMibView),
// when the agent answers with an identifier that does not follow the one
// asked for (an echo, a loop), after 1,000 rows, when it has used 2 seconds
// (or the whole poll 3), when `interruption` is requested, or at a failed
// step, which does not set SnmpFailed; it keeps what it found.
//
// A counter or "Time" value that is not a decimal integer throws
// PlovexError("'<text>' is not a valid integer value"), the text quoted as
// QuotedAgentText does, after the counters before it were stored (a failing
// counter has already had its Value copied into PrevValue).
#include <array>
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "core/poll_interruption.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

using PollTexts = std::array<std::string, 7>;  // counter 1, counter 2, overlay values 1..5

bool PollAgent(TPlovexSettings& s, TSNMPSend& client, const Status& security, PollTexts& texts,
               const PollInterruption* interruption = nullptr);

}  // namespace plovex
