#pragma once
// SnmpFailure: why an exchange of the SNMP client (TSNMPSend) gave no reply,
// as far as the client can tell. Versions 1 and 2c only ever know of a
// time-out or a bad datagram; version 3 agents say why they refuse in a
// Report (RFC 3414 usmStats counters), and a user the client cannot speak as
// is refused before anything is sent.
#include <string>

namespace plovex {

enum class SnmpFailure {
  kNone,
  kTimedOut,             // no reply within the time-out
  kSocket,               // the socket failed, or the datagram was empty or unreadable
  kUnknownUser,          // usmStatsUnknownUserNames
  kWrongDigest,          // usmStatsWrongDigests: the authentication key is not the agent's
  kUnsupportedSecLevel,  // usmStatsUnsupportedSecLevels
  kDecryptionError,      // usmStatsDecryptionErrors: the privacy key is not the agent's
  kNotInTimeWindow,      // still outside the time window after one re-synchronisation
  kUnknownEngine,        // the engine ID changed again while being learned
  kOtherReport,          // another Report (an unknown context, for example)
  kBadUser,              // the user's settings cannot be used (UsmUser::Problem)
};

// The reason as the user reads it, lower case: "unknown user", "wrong
// authentication key", "unsupported security level", "time-out"; empty for
// kNone. kBadUser and kOtherReport take their detail from `detail`.
std::string SnmpFailureText(SnmpFailure failure, const std::string& detail = {});

}  // namespace plovex
