#pragma once
// InterfaceFollower: keeps the two counters on the interface the "Interface"
// setting names while the agent renumbers its interfaces (a PPPoE link that
// gets a new ifIndex at every reconnect, a router that rebooted).
//
// With "Interface" set, the name's current ifIndex is looked up (FindInterface)
// at Start, after a poll in which the agent answered but a counter did not
// (noSuchName, noSuchObject, noSuchInstance), after the agent's uptime went
// backwards, after a counter went backwards, and while the interface the
// counters name is not up (an agent may keep the row of a deleted interface,
// down and frozen, beside the new one). When it differs from the index the counters name, both
// counter identifiers move there (only identifiers of the interface table's octet counters, whose
// last arc is the index), both channels take their next reading as a new baseline, and AfterPoll
// returns the notice to tell once: "wan0 is now interface 7". A lookup that does not find the name,
// or finds it only down (the new row may not be there yet), is tried again 2 seconds later, then
// after twice the time before, up to once a minute. With "Interface" empty nothing is ever looked
// up or changed.
//
// The lookup's own walk is bounded as WalkColumns is, within one second.
#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "core/poll_interruption.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

// The ifIndex of the interface named `name` (ifName, else ifDescr): of several,
// the one that is up, then the highest index. kNotFound when none has the name.
struct FoundInterface {
  std::int32_t index = 0;
  bool up = false;
  bool operator==(const FoundInterface&) const = default;
};
Result<FoundInterface> FindInterface(const TPlovexSettings& s, TSNMPSend& client,
                                     const std::string& name,
                                     const PollInterruption* interruption = nullptr);

// `oid` with its interface index replaced by `index`, when it is one of the
// interface table's octet counters; nullopt otherwise.
std::optional<std::string> WithInterfaceIndex(const std::string& oid, std::int32_t index);

// ifOperStatus of the interface the counter identifier names; nullopt when it
// is no interface counter.
std::optional<std::string> OperStatusOid(const std::string& counter_oid);

// What the poll saw, as the follower needs it.
struct PollOutcome {
  bool answered = false;           // the agent answered the poll's GetRequest
  bool counter_missing = false;    // and yet a counter had no value
  bool counter_went_back = false;  // a counter read lower than before
  std::string uptime;              // sysUpTime.0 as received; empty when not read
  std::string status;              // ifOperStatus of the counters' interface; empty when not read
};

class InterfaceFollower {
 public:
  // The next AfterPoll looks the name up (Start, settings applied).
  void Restart();

  // After each poll; may walk the agent through `client` (cut short when
  // `interruption` is requested). The notice when the counters moved. A name
  // other than the one looked up last is looked up at once.
  std::optional<std::string> AfterPoll(TPlovexSettings& s, TSNMPSend& client,
                                       const PollOutcome& poll,
                                       const PollInterruption* interruption = nullptr);

 private:
  bool due_ = true;
  std::int64_t next_try_ms_ = 0;
  std::int64_t delay_ms_ = 0;
  std::optional<std::int64_t> uptime_;
  std::string name_;  // the name the state above is for
};

}  // namespace plovex
