#pragma once
// AgentPollSource: the real PollSource, one PollAgent with the long-lived
// SNMP client that the window (or the headless runner) owns and lends here.
// The poll's bool result is not passed on: the tick looks only at the texts.
// The client is set up for the settings (ConfigureClient) by Configure, or by
// the first poll when nothing configured it before.
#include "base/status.h"
#include "core/poll_agent.h"
#include "core/poll_source.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

class AgentPollSource : public PollSource {
 public:
  // interruption may be null (a poll is never cut short).
  explicit AgentPollSource(TSNMPSend& client, const PollInterruption* interruption = nullptr)
      : client_(client), interruption_(interruption) {}
  void Configure(const TPlovexSettings& s) override;
  PollTexts Poll(TPlovexSettings& s) override;

 private:
  TSNMPSend& client_;
  bool configured_ = false;
  Status security_;  // what ConfigureClient said
  const PollInterruption* interruption_;
};

}  // namespace plovex
