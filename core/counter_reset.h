#pragma once
// ResetAgentCounter: asks the agent to set one counter to 0, the counter
// reset of the "Reset" page. One SetRequest of INTEGER 0 (message version
// `version`, 0 for SNMPv1, 1 for v2c or 3 for v3 as the user the caller set
// in client.Usm; request-id 1 in versions 1 and 2c) for `oid` to `host` with
// `community`, through `client`, which the caller owns (a short-lived client
// of its own, so that the poll's client is left alone) and whose time-out is
// 5000 ms.
//
// The result says what the agent did, so that the caller clears its totals
// only for a counter that really went back to 0: ok when the agent accepted
// the set; otherwise a failure with the message to show,
//   "The agent did not reset OID1: noSuchName." for a refusal (any
//   error-status, by its RFC 1157 / RFC 3416 name, or its number), or
//   "No answer from <host> within 5 s." when nothing answered in time, or
//   "No answer from <host>: wrong authentication key." when a version 3
//   agent refused the user (the client's LastStatus message).
// `channel` (1 or 2) names the counter in the message. Never throws.
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

Status ResetAgentCounter(TSNMPSend& client, const std::string& host, const std::string& community,
                         const std::string& oid, int channel, std::int32_t version = 0);

// The whole counter reset of channel k (1 or 2): the client set up for the
// applied settings (ConfigureClient; settings that make no usable version 3
// user fail with "SNMP version 3: <why>." and nothing is sent),
// ResetAgentCounter in the settings' version, and when the agent accepted, the channel's Total,
// Value and PrevValue become 0 and its next reading a new baseline. A counter the agent did not
// reset still holds its count, so then nothing changes: the next tick would otherwise draw the
// whole count as one interval's traffic. Saving the totals is the caller's (it owns the store).
Status ResetCounter(TSNMPSend& client, TPlovexSettings& settings, const std::string& host,
                    const std::string& community, const std::string& oid, int channel);

// The name of an SNMP error-status ("noSuchName" for 2), or its number.
std::string ErrorStatusName(std::int32_t status);

}  // namespace plovex
