#pragma once
// PollFault: why the monitored host gives no readings, in plain words and
// with what to check, for the window's status strip. Ok while the host
// answers. The status's code tells the window which settings mend it:
// kTimedOut (silence) and kNotFound (a name the system cannot look up) the
// host and community; kRefused and kInvalidArgument the version 3 user.
#include "base/status.h"
#include "core/plovex_settings.h"

namespace plovex {

Status PollFault(const TPlovexSettings& s);

}  // namespace plovex
