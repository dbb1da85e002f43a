#include "core/poll_fault.h"

#include <cctype>

namespace plovex {

Status PollFault(const TPlovexSettings& s) {
  if (!s.SnmpFailed) return Status::Ok();
  const PollMemory& m = s.SnmpMemory;
  const bool v3 = s.SnmpMessageVersion() == 3;
  switch (m.FailureCode) {
    case StatusCode::kNotFound:
      return Status::NotFound(s.Ip + ": " +
                              (m.FailureReason.empty() ? "no such host" : m.FailureReason));
    case StatusCode::kRefused: {
      if (m.FailureReason == "unknown user")
        return Status::Refused(s.Ip + " does not know user " + s.SnmpUser);
      std::string reason = m.FailureReason;
      if (!reason.empty()) reason[0] = static_cast<char>(std::toupper(reason[0]));
      return Status::Refused(reason + " for user " + s.SnmpUser);
    }
    case StatusCode::kInvalidArgument:
      return Status::InvalidArgument("User " + s.SnmpUser + " cannot be used: " + m.FailureReason);
    default:
      return Status::TimedOut(
          "No answer from " + s.Ip +
          " \u2014 is SNMP switched on in the router, and are the address and " +
          (v3 ? "user and keys" : "community") + " right?");
  }
}

}  // namespace plovex
