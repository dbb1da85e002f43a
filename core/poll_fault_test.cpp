#include "core/poll_fault.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(PollFault, SaysWhatToCheckForEachKindOfFailure) {
  const struct {
    const char* version;
    StatusCode code;
    const char* reason;
    const char* text;
  } rows[] = {
      {"2c", StatusCode::kTimedOut, "",
       "No answer from routr.lan \u2014 is SNMP switched on in the router, and are the address "
       "and community right?"},
      {"3", StatusCode::kTimedOut, "",
       "No answer from routr.lan \u2014 is SNMP switched on in the router, and are the address "
       "and user and keys right?"},
      {"1", StatusCode::kNotFound, "no such host", "routr.lan: no such host"},
      {"1", StatusCode::kNotFound, "the name resolver gave no answer in time",
       "routr.lan: the name resolver gave no answer in time"},
      {"3", StatusCode::kRefused, "wrong authentication key",
       "Wrong authentication key for user plovex"},
      {"3", StatusCode::kRefused, "unknown user", "routr.lan does not know user plovex"},
      {"3", StatusCode::kInvalidArgument, "no privacy key",
       "User plovex cannot be used: no privacy key"},
  };
  for (const auto& row : rows) {
    TPlovexSettings s;
    s.Ip = "routr.lan";
    s.SnmpUser = "plovex";
    s.SnmpVersion = row.version;
    EXPECT_TRUE(PollFault(s).ok());
    s.SnmpFailed = true;
    s.SnmpMemory.FailureCode = row.code;
    s.SnmpMemory.FailureReason = row.reason;
    const Status fault = PollFault(s);
    EXPECT_EQ(fault.code(), row.code) << row.text;
    EXPECT_EQ(fault.message(), row.text);
  }
}

}  // namespace
}  // namespace plovex
