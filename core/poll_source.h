#pragma once
// PollSource: the tick's first step, one poll of the monitored host. The real
// source (AgentPollSource) runs PollAgent with the window's long-lived SNMP
// client; tests hand out scripted readings.
//
// Poll stores the counter readings in the record (PrevValue := Value, Value :=
// reading, for each counter text that is not empty) and returns the seven
// texts: counter 1, counter 2, overlay values 1 to 5. It may throw PlovexError
// (a reading that is not an integer), which abandons the tick.
#include <array>
#include <string>

#include "core/plovex_settings.h"

namespace plovex {

using PollTexts = std::array<std::string, 7>;

class PollSource {
 public:
  virtual ~PollSource() = default;
  // The settings were loaded or applied (Start follows both): a source that
  // speaks to the agent sets its client up for them here, once.
  virtual void Configure(const TPlovexSettings& /*s*/) {}
  virtual PollTexts Poll(TPlovexSettings& s) = 0;
};

}  // namespace plovex
