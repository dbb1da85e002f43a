#pragma once
// TestConnection: the "Test" button of the Network page. One GetRequest for
// sysDescr.0 and sysName.0 with the settings as typed (host, version,
// community or version 3 user), through a client of the caller's, answered in
// words for a person who does not know SNMP.
//
// `host_known` tells whether a host name or address can be resolved at all
// (HostResolves in production), so that a mistyped name is told apart from a
// silent agent.
#include <functional>
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

struct AgentIdentity {
  std::string descr;  // sysDescr.0
  std::string name;   // sysName.0
};

using HostLookup = std::function<bool(const std::string& host)>;

// The identity of the agent, or why not (each message a sentence):
//   kNotFound         "Unknown host \"router.lan\"."
//   kInvalidArgument  "SNMP version 3: no authentication key." (nothing sent)
//   kTimedOut         "No answer from 10.0.0.1: a wrong address, SNMP switched
//                     off on the device, or a wrong community (an agent does not
//                     answer a wrong community at all)." (the community part in
//                     versions 1 and 2c only)
//   kRefused          "10.0.0.1 refused: unknown user." / "...: wrong
//                     authentication key." (version 3), or "10.0.0.1 answered
//                     with the error noSuchName."
Result<AgentIdentity> TestConnection(const TPlovexSettings& s, TSNMPSend& client,
                                     const HostLookup& host_known);

// The answer as the page shows it: "10.0.0.1 answers: <descr> (name <name>)."
// or the failure's message.
std::string ConnectionTestText(const TPlovexSettings& s, const Result<AgentIdentity>& result);

// Whether `host` is an address, or a name the system resolves.
bool HostResolves(const std::string& host);

}  // namespace plovex
