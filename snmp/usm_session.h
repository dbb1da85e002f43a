#pragma once
// UsmSession: what the version 3 client knows of one agent and one user
// under the User-based Security Model (RFC 3414), and the sealing and
// judging of the messages it exchanges with it.
//
// Engine: the agent's snmpEngineID, snmpEngineBoots and an estimate of its
// snmpEngineTime (the last time learned plus the seconds elapsed since on the
// client's clock). They are learned from the Report (usmStatsUnknownEngineIDs)
// that answers a discovery Probe, or that the agent sends when its engine ID
// changed; boots and time are learned again from an authenticated Report
// usmStatsNotInTimeWindows (the agent rebooted) and move forward with every
// authenticated reply (RFC 3414 3.2 step 7b). The keys localized for the
// engine are kept with it.
//
// Every message carries a new msgID and every request a new request-id (both
// start at random); Judge takes only a datagram answering the message sent
// last. A GetResponse is taken as the reply only when its msgID, request-id,
// engine ID and user match, it comes at the request's security level
// (authenticated with the right key, and encrypted when privacy is on; a
// reply at a lower or higher level is refused), and, when authenticated, lies
// within the time window. Refused datagrams are ignored and counted, so the
// caller goes on waiting for the real reply. Reports that the agent sends
// without authentication (unknown user, wrong digest, unsupported security
// level, decryption error) end the exchange with their reason.
//
// Some agents answer a request whose digest they refuse with a Report that
// they authenticate (and encrypt) with the user's real keys; a client holding
// a wrong key cannot check it. Such a message, answering the last one by its
// msgID, engine ID and user but failing the digest, is refused like any other
// and its content never read; Suspicion() then says "wrong authentication
// key", and likewise "wrong privacy key" for an authentic message that the
// privacy key cannot decrypt, so that an exchange that times out can say
// what went wrong rather than report silence.
//
// Not copyable; one caller at a time.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "snmp/snmpv3_message.h"
#include "snmp/tsnmp_rec.h"
#include "snmp/udp_transport.h"
#include "snmp/usm_user.h"

namespace plovex {

class UsmSession {
 public:
  enum class Verdict {
    kIgnored,        // not an answer to the last message, or refused as forged, stale or clear
    kReply,          // `response` holds the reply
    kEngineLearned,  // the agent told its engine: send the request (again)
    kTimeResynced,   // the agent told its boots and time: send the request again
    kRefused,        // the agent refused: Refusal() says why
  };
  // Verdict is the session's decision that the exchange loop branches on
  // (take the reply, send again, wait on, give up), not a failure report:
  // the reason of a refusal is Refusal()'s.

  UsmSession();
  UsmSession(const UsmSession&) = delete;
  UsmSession& operator=(const UsmSession&) = delete;

  // Speaks as `user` to `agent` from now on. Another agent forgets the
  // engine; another user keeps the engine and localizes the new keys.
  void Use(const UsmUser& user, const UdpEndpoint& agent);
  bool KnowsEngine() const { return !engine_id_.empty(); }
  void ForgetEngine();

  // The discovery probe: a reportable, unauthenticated GetRequest without
  // bindings and without an engine ID.
  std::string Probe();
  // The request's PDU type, error fields and bindings, with a fresh
  // request-id (request.RequestId itself is left as it was), sealed at the
  // user's security level. Needs KnowsEngine().
  std::string Wrap(TSNMPRec& request, std::int64_t now_ms);

  // Judges a datagram from the agent against the last Probe or Wrap. Fills
  // `response` for kReply; leaves it reset otherwise.
  Verdict Judge(std::string_view datagram, std::int64_t now_ms, TSNMPRec& response);

  // Why the agent refused, after kRefused: kRefused with the reason as the
  // user reads it, "unknown user", "wrong authentication key", "unsupported
  // security level", "wrong privacy key", or "refused (report OID)" for
  // another Report.
  const Status& Refusal() const { return refusal_; }

  // Since the last Probe or Wrap: kRefused with "wrong authentication key" or
  // "wrong privacy key" when a message answering it could not be verified or
  // decrypted as described above; ok otherwise.
  const Status& Suspicion() const { return suspicion_; }

  const std::string& EngineId() const { return engine_id_; }
  std::int32_t EngineBoots() const { return boots_; }
  std::int32_t EngineTime(std::int64_t now_ms) const;
  // Datagrams that answered the last message by their msgID or not at all
  // and were refused; for tests and diagnostics.
  int Rejected() const { return rejected_; }

 private:
  std::string Seal(std::string_view pdu, std::int64_t now_ms, std::uint8_t flags);
  Verdict Reject(TSNMPRec& response);
  Verdict JudgeReport(const Snmpv3Message& m, bool authenticated, std::int64_t now_ms,
                      TSNMPRec& response);
  void LearnEngine(const std::string& engine_id, std::int32_t boots, std::int32_t time,
                   std::int64_t now_ms);
  void SetClock(std::int32_t boots, std::int32_t time, std::int64_t now_ms);
  bool InTimeWindow(std::int32_t boots, std::int32_t time, std::int64_t now_ms) const;
  void Localize();

  UsmUser user_;
  UdpEndpoint agent_;
  std::string engine_id_;
  std::int32_t boots_ = 0;
  std::int32_t time_ = 0;       // the engine time learned last ...
  std::int64_t synced_ms_ = 0;  // ... and when, on the client's clock
  std::string auth_key_;        // Kul of the authentication key
  std::string priv_key_;        // Kul of the privacy key
  std::int32_t next_msg_id_;
  std::int32_t next_request_id_;
  std::uint64_t next_salt_;
  std::int32_t sent_msg_id_ = -1;
  std::int32_t sent_request_id_ = -1;
  Status refusal_;
  Status suspicion_;
  int rejected_ = 0;
};

}  // namespace plovex
