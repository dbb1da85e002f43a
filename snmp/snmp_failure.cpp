#include "snmp/snmp_failure.h"

namespace plovex {

std::string SnmpFailureText(SnmpFailure failure, const std::string& detail) {
  switch (failure) {
    case SnmpFailure::kNone:
      return "";
    case SnmpFailure::kTimedOut:
      return "time-out";
    case SnmpFailure::kSocket:
      return "no readable reply";
    case SnmpFailure::kUnknownUser:
      return "unknown user";
    case SnmpFailure::kWrongDigest:
      return "wrong authentication key";
    case SnmpFailure::kUnsupportedSecLevel:
      return "unsupported security level";
    case SnmpFailure::kDecryptionError:
      return "wrong privacy key";
    case SnmpFailure::kNotInTimeWindow:
      return "not in time window";
    case SnmpFailure::kUnknownEngine:
      return "unknown engine ID";
    case SnmpFailure::kOtherReport:
      return "refused (report " + detail + ")";
    case SnmpFailure::kBadUser:
      return detail;
  }
  return "";
}

}  // namespace plovex
