#include "core/agent_poll_source.h"

namespace plovex {

PollTexts AgentPollSource::Poll(TPlovexSettings& s) {
  PollTexts texts;
  PollAgent(s, client_, texts, interruption_);
  return texts;
}

}  // namespace plovex
