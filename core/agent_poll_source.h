#pragma once
// AgentPollSource: the real PollSource, one PollAgent with the long-lived
// SNMP client that the window (or the headless runner) owns and lends here.
// The poll's bool result is not passed on: the tick looks only at the texts.
// The client is set up for the settings (ConfigureClient) by Configure, or by
// the first poll when nothing configured it before.
//
// After each poll the InterfaceFollower keeps the counters on the interface
// the "Interface" setting names; when it moves them, the record already holds
// the new identifiers and the listener given to OnInterfaceMoved hears the
// notice ("wan0 is now interface 7") once, so that the owner can show it and
// keep what it shows of the settings in step.
#include <functional>
#include <string>

#include "base/status.h"
#include "core/interface_follower.h"
#include "core/poll_agent.h"
#include "core/poll_source.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

class AgentPollSource : public PollSource {
 public:
  using MovedListener = std::function<void(const std::string& notice)>;

  // interruption may be null (a poll is never cut short).
  explicit AgentPollSource(TSNMPSend& client, const PollInterruption* interruption = nullptr)
      : client_(client), interruption_(interruption) {}
  void Configure(const TPlovexSettings& s) override;
  PollTexts Poll(TPlovexSettings& s) override;

  void OnInterfaceMoved(MovedListener listener) { moved_ = std::move(listener); }

 private:
  TSNMPSend& client_;
  bool configured_ = false;
  Status security_;  // what ConfigureClient said
  const PollInterruption* interruption_;
  InterfaceFollower follower_;
  MovedListener moved_;
};

}  // namespace plovex
