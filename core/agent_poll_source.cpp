#include "core/agent_poll_source.h"

#include "core/snmp_security.h"

namespace plovex {

void AgentPollSource::Configure(const TPlovexSettings& s) {
  security_ = ConfigureClient(s, client_);
  configured_ = true;
}

PollTexts AgentPollSource::Poll(TPlovexSettings& s) {
  if (!configured_) Configure(s);
  PollTexts texts;
  PollAgent(s, client_, security_, texts, interruption_);
  return texts;
}

}  // namespace plovex
