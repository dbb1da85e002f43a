#include "core/agent_poll_source.h"

#include "core/snmp_security.h"

namespace plovex {

void AgentPollSource::Configure(const TPlovexSettings& s) {
  security_ = ConfigureClient(s, client_);
  configured_ = true;
  follower_.Restart();
}

PollTexts AgentPollSource::Poll(TPlovexSettings& s) {
  if (!configured_) Configure(s);
  PollTexts texts;
  PollOutcome outcome;
  outcome.answered = PollAgent(s, client_, security_, texts, interruption_);
  outcome.counter_missing = texts[0].empty() || texts[1].empty();
  for (int k = 1; k <= 2; ++k) {
    const OidChannel& c = s.Channel(k);
    if (!texts[k - 1].empty() && c.Value < c.PrevValue) outcome.counter_went_back = true;
  }
  outcome.uptime = s.SnmpMemory.Uptime;
  outcome.status = s.SnmpMemory.InterfaceStatus;
  if (const auto notice = follower_.AfterPoll(s, client_, outcome, interruption_)) {
    if (moved_) moved_(*notice);
  }
  return texts;
}

}  // namespace plovex
