#include "core/connection_check.h"

#include "core/counter_reset.h"
#include "core/snmp_security.h"
#include "snmp/ber_format.h"

namespace plovex {
namespace {

const std::string kSysDescr = "1.3.6.1.2.1.1.1.0";
const std::string kSysName = "1.3.6.1.2.1.1.5.0";
constexpr std::int32_t kTestTimeoutMs = 2000;

}  // namespace

Result<AgentIdentity> TestConnection(const TPlovexSettings& s, TSNMPSend& client,
                                     const HostLookup& host_known) {
  if (s.Ip.empty() || !host_known(s.Ip)) return Status::NotFound("Unknown host \"" + s.Ip + "\".");
  if (const Status security = ConfigureClient(s, client); !security.ok()) {
    return Status::InvalidArgument("SNMP version 3: " + security.message() + ".");
  }
  TSNMPRec& request = client.Request;
  request.Reset();
  client.Host = s.Ip;
  client.Timeout = kTestTimeoutMs;
  request.Version = s.SnmpMessageVersion();
  request.Community = s.Community;
  request.PduType = ber::kGetRequest;
  request.AddVarBind(kSysDescr, "", ber::kNull);
  request.AddVarBind(kSysName, "", ber::kNull);
  if (!client.Exchange()) {
    const Status& why = client.LastStatus();
    if (why.code() == StatusCode::kRefused || why.code() == StatusCode::kInvalidArgument) {
      return Status::Refused(s.Ip + " refused: " + why.message() + ".");
    }
    // Versions 1 and 2c: an agent drops a wrong community without a word.
    const std::string community = s.SnmpMessageVersion() == ber::kVersion3
                                      ? ""
                                      : ", or a wrong community (an agent does not answer a "
                                        "wrong community at all)";
    return Status::TimedOut("No answer from " + s.Ip +
                            ": a wrong address, SNMP switched off on the device" + community + ".");
  }
  const TSNMPRec& r = client.Response;
  if (r.ErrorStatus != 0) {
    return Status::Refused(s.Ip + " answered with the error " + ErrorStatusName(r.ErrorStatus) +
                           ".");
  }
  return AgentIdentity{r.FindValue(kSysDescr), r.FindValue(kSysName)};
}

std::string ConnectionTestText(const TPlovexSettings& s, const Result<AgentIdentity>& result) {
  if (!result) return result.status().message();
  std::string text = s.Ip + " answers: " + (result->descr.empty() ? "?" : result->descr);
  if (!result->name.empty()) text += " (name " + result->name + ")";
  return text + ".";
}

}  // namespace plovex
