#include "core/counter_reset.h"

#include <array>

#include "core/snmp_security.h"
#include "snmp/ber_format.h"

namespace plovex {

namespace {

constexpr std::int32_t kResetTimeoutMs = 5000;

// Why the exchange got no answer, as the user reads it.
Status NoAnswer(const TSNMPSend& client, const std::string& host) {
  const StatusCode code = client.LastStatus().code();
  if (code == StatusCode::kTimedOut || code == StatusCode::kIoError) {
    return Status::TimedOut("No answer from " + host + " within " +
                            std::to_string(kResetTimeoutMs / 1000) + " s.");
  }
  return Status::Refused("No answer from " + host + ": " + client.LastStatus().message() + ".");
}

}  // namespace

std::string ErrorStatusName(std::int32_t status) {
  static constexpr std::array<const char*, 19> kNames{"noError",
                                                      "tooBig",
                                                      "noSuchName",
                                                      "badValue",
                                                      "readOnly",
                                                      "genErr",
                                                      "noAccess",
                                                      "wrongType",
                                                      "wrongLength",
                                                      "wrongEncoding",
                                                      "wrongValue",
                                                      "noCreation",
                                                      "inconsistentValue",
                                                      "resourceUnavailable",
                                                      "commitFailed",
                                                      "undoFailed",
                                                      "authorizationError",
                                                      "notWritable",
                                                      "inconsistentName"};
  if (status >= 0 && static_cast<std::size_t>(status) < kNames.size()) return kNames[status];
  return "error " + std::to_string(status);
}

Status ResetAgentCounter(TSNMPSend& client, const std::string& host, const std::string& community,
                         const std::string& oid, int channel, std::int32_t version) {
  client.Request.Reset();
  client.Request.Version = version;
  client.Request.Community = community;
  client.Request.PduType = ber::kSetRequest;
  client.Request.AddVarBind(oid, "0", ber::kInteger);
  client.Host = host;
  client.Timeout = kResetTimeoutMs;
  if (!client.Exchange()) return NoAnswer(client, host);
  if (client.Response.ErrorStatus != 0) {
    return Status::Refused("The agent did not reset OID" + std::to_string(channel) + ": " +
                           ErrorStatusName(client.Response.ErrorStatus) + ".");
  }
  return Status::Ok();
}

Status ResetCounter(TSNMPSend& client, TPlovexSettings& settings, const std::string& host,
                    const std::string& community, const std::string& oid, int channel) {
  // The applied user: its keys are never in the controls.
  const Status user = ConfigureClient(settings, client);
  if (!user.ok()) return Status::InvalidArgument("SNMP version 3: " + user.message() + ".");
  Status reset =
      ResetAgentCounter(client, host, community, oid, channel, settings.SnmpMessageVersion());
  if (!reset.ok()) return reset;
  OidChannel& c = settings.Channel(channel);
  c.Total = 0;
  c.Value = 0;
  c.PrevValue = 0;
  c.NewBaseline = true;
  return reset;
}

}  // namespace plovex
