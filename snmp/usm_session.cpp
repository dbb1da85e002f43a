#include "snmp/usm_session.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "base/big_endian.h"
#include "snmp/ber_cursor.h"
#include "snmp/usm_crypto.h"
#include "snmp/usm_keys.h"

namespace plovex {

namespace {

constexpr std::int32_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
// RFC 3414 3.2 step 7b: an authenticated message may lag this far behind.
constexpr std::int32_t kTimeWindowSeconds = 150;

// The usmStats counters of RFC 3414 5 that name why an agent refused.
constexpr char kUnsupportedSecLevels[] = "1.3.6.1.6.3.15.1.1.1.0";
constexpr char kNotInTimeWindows[] = "1.3.6.1.6.3.15.1.1.2.0";
constexpr char kUnknownUserNames[] = "1.3.6.1.6.3.15.1.1.3.0";
constexpr char kUnknownEngineIds[] = "1.3.6.1.6.3.15.1.1.4.0";
constexpr char kWrongDigests[] = "1.3.6.1.6.3.15.1.1.5.0";
constexpr char kDecryptionErrors[] = "1.3.6.1.6.3.15.1.1.6.0";

// The refusals, as the user reads them.
constexpr std::pair<const char*, const char*> kRefusals[] = {
    {kUnknownUserNames, "unknown user"},
    {kWrongDigests, "wrong authentication key"},
    {kUnsupportedSecLevels, "unsupported security level"},
    {kDecryptionErrors, "wrong privacy key"},
};

// A random number; a broken generator gives 0, so the sequences start at 1.
std::uint64_t Random() { return UsmRandom64().value_or(0); }

// A number in 1 .. 2^31 - 1 to start a sequence of identifiers at.
std::int32_t RandomStart() {
  return static_cast<std::int32_t>(Random() % static_cast<std::uint64_t>(kMaxInt32)) + 1;
}

std::int32_t Take(std::int32_t& next) {
  const std::int32_t id = next;
  next = next == kMaxInt32 ? 1 : next + 1;
  return id;
}

// RFC 3826 3.1.2.1: the IV is boots, time and the 64-bit salt, big-endian.
std::string AesIv(std::int32_t boots, std::int32_t time, std::string_view salt) {
  std::string iv;
  AppendBigEndian(iv, static_cast<std::uint32_t>(boots), 4);
  AppendBigEndian(iv, static_cast<std::uint32_t>(time), 4);
  iv.append(salt);
  return iv;
}

}  // namespace

UsmSession::UsmSession()
    : next_msg_id_(RandomStart()), next_request_id_(RandomStart()), next_salt_(Random()) {}

void UsmSession::Use(const UsmUser& user, const UdpEndpoint& agent) {
  if (agent != agent_) {
    agent_ = agent;
    ForgetEngine();
  }
  if (user != user_) {
    user_ = user;
    Localize();
  }
}

void UsmSession::ForgetEngine() {
  engine_id_.clear();
  boots_ = 0;
  time_ = 0;
  synced_ms_ = 0;
  auth_key_.clear();
  priv_key_.clear();
}

void UsmSession::Localize() {
  auth_key_.clear();
  priv_key_.clear();
  if (engine_id_.empty() || user_.Auth == UsmAuthProtocol::kNone) return;
  // A key that cannot be made stays empty: nothing is then taken as authentic.
  auth_key_ = LocalizeKey(user_.Auth, user_.AuthKey, engine_id_).value_or("");
  if (user_.Priv != UsmPrivProtocol::kNone) {
    priv_key_ = LocalizeKey(user_.Auth, user_.PrivKey, engine_id_).value_or("");
  }
}

std::int32_t UsmSession::EngineTime(std::int64_t now_ms) const {
  const std::int64_t elapsed = std::max<std::int64_t>(now_ms - synced_ms_, 0) / 1000;
  return static_cast<std::int32_t>(std::min<std::int64_t>(time_ + elapsed, kMaxInt32));
}

void UsmSession::SetClock(std::int32_t boots, std::int32_t time, std::int64_t now_ms) {
  boots_ = boots;
  time_ = time;
  synced_ms_ = now_ms;
}

void UsmSession::LearnEngine(const std::string& engine_id, std::int32_t boots, std::int32_t time,
                             std::int64_t now_ms) {
  const bool changed = engine_id != engine_id_;
  engine_id_ = engine_id;
  SetClock(boots, time, now_ms);
  if (changed) Localize();
}

bool UsmSession::InTimeWindow(std::int32_t boots, std::int32_t time, std::int64_t now_ms) const {
  if (boots == kMaxInt32 || boots < boots_) return false;
  return boots > boots_ || time >= EngineTime(now_ms) - kTimeWindowSeconds;
}

std::string UsmSession::Probe() {
  suspicion_ = Status::Ok();
  TSNMPRec probe;
  probe.PduType = ber::kGetRequest;
  probe.RequestId = sent_request_id_ = Take(next_request_id_);
  std::string pdu;
  probe.AppendPdu(pdu);
  Snmpv3Header header;
  header.MsgId = sent_msg_id_ = Take(next_msg_id_);
  header.MsgFlags = snmpv3::kReportableFlag;
  return EncodeSnmpv3Message(header, UsmSecurityParameters{}, EncodeScopedPdu("", "", pdu));
}

std::string UsmSession::Wrap(TSNMPRec& request, std::int64_t now_ms) {
  const std::int32_t callers = request.RequestId;
  request.RequestId = sent_request_id_ = Take(next_request_id_);
  std::string pdu;
  request.AppendPdu(pdu);
  request.RequestId = callers;

  std::uint8_t flags = snmpv3::kReportableFlag;
  if (user_.Level() != UsmSecurityLevel::kNoAuthNoPriv) flags |= snmpv3::kAuthFlag;
  if (user_.Level() == UsmSecurityLevel::kAuthPriv) flags |= snmpv3::kPrivFlag;
  return Seal(pdu, now_ms, flags);
}

std::string UsmSession::Seal(std::string_view pdu, std::int64_t now_ms, std::uint8_t flags) {
  suspicion_ = Status::Ok();
  Snmpv3Header header;
  header.MsgId = sent_msg_id_ = Take(next_msg_id_);
  header.MsgFlags = flags;
  UsmSecurityParameters security;
  security.EngineId = engine_id_;
  security.EngineBoots = boots_;
  security.EngineTime = EngineTime(now_ms);
  security.UserName = user_.Name;
  std::string msg_data = EncodeScopedPdu(engine_id_, "", pdu);
  if (flags & snmpv3::kPrivFlag) {
    AppendBigEndian(security.PrivParameters, next_salt_++, UsmPrivRow(user_.Priv).salt_length);
    const Result<std::string> encrypted = Aes128CfbEncrypt(
        priv_key_, AesIv(boots_, security.EngineTime, security.PrivParameters), msg_data);
    // Never the plaintext: a failed encryption sends an empty PDU the agent drops.
    msg_data.clear();
    ber::BerAppendElement(msg_data, ber::kOctetString, encrypted.value_or(""));
  }
  if (flags & snmpv3::kAuthFlag) {
    security.AuthParameters.assign(UsmAuthRow(user_.Auth).mac_length, '\0');
  }
  std::size_t auth_offset = 0;
  std::string message = EncodeSnmpv3Message(header, security, msg_data, &auth_offset);
  if (flags & snmpv3::kAuthFlag) {
    // A code that cannot be computed leaves the zeros, which the agent refuses.
    const std::string mac = UsmMac(user_.Auth, auth_key_, message).value_or("");
    std::copy(mac.begin(), mac.end(), message.begin() + static_cast<std::ptrdiff_t>(auth_offset));
  }
  return message;
}

UsmSession::Verdict UsmSession::Reject(TSNMPRec& response) {
  response.Reset();
  ++rejected_;
  return Verdict::kIgnored;
}

UsmSession::Verdict UsmSession::Judge(std::string_view datagram, std::int64_t now_ms,
                                      TSNMPRec& response) {
  response.Reset();
  const Result<Snmpv3Message> m = DecodeSnmpv3Message(datagram);
  if (!m || m->Header.MsgId != sent_msg_id_ ||
      m->Header.MsgSecurityModel != snmpv3::kUsmSecurityModel) {
    return Reject(response);
  }
  const UsmSecurityParameters& security = m->Security;
  const bool authenticated = m->Header.MsgFlags & snmpv3::kAuthFlag;
  const bool encrypted = m->Header.MsgFlags & snmpv3::kPrivFlag;
  if (encrypted != m->Encrypted || (encrypted && !authenticated)) return Reject(response);

  if (authenticated) {
    // Only a key of this user for this engine can have made the code.
    const std::size_t mac_length = UsmAuthRow(user_.Auth).mac_length;
    if (auth_key_.empty() || security.EngineId != engine_id_ || security.UserName != user_.Name ||
        security.AuthParameters.size() != mac_length) {
      return Reject(response);
    }
    std::string zeroed(datagram);
    std::fill_n(zeroed.begin() + static_cast<std::ptrdiff_t>(m->AuthOffset), mac_length, '\0');
    if (!UsmMacMatches(user_.Auth, auth_key_, zeroed, security.AuthParameters)) {
      // Answering our message, yet sealed with another key: most likely the
      // agent's Report that our key is wrong.
      suspicion_ = Status::Refused("wrong authentication key");
      return Reject(response);
    }
  }

  std::string decrypted;
  std::string_view scoped_bytes = m->ScopedPdu;
  if (encrypted) {
    if (priv_key_.empty() || security.PrivParameters.size() != UsmPrivRow(user_.Priv).salt_length) {
      return Reject(response);
    }
    Result<std::string> plain = Aes128CfbDecrypt(
        priv_key_, AesIv(security.EngineBoots, security.EngineTime, security.PrivParameters),
        m->EncryptedPdu);
    if (!plain) return Reject(response);
    decrypted = std::move(*plain);
    scoped_bytes = decrypted;
  }
  const Result<ScopedPdu> scoped = DecodeScopedPdu(scoped_bytes);
  response.Version = ber::kVersion3;
  if (!scoped || !response.DecodePdu(scoped->Pdu).ok()) {
    // The agent's own message, as its digest proves, that our privacy key
    // turns into noise.
    if (encrypted) suspicion_ = Status::Refused("wrong privacy key");
    return Reject(response);
  }

  if (response.PduType == ber::kReport) return JudgeReport(*m, authenticated, now_ms, response);

  const UsmSecurityLevel level = user_.Level();
  const bool level_matches = authenticated == (level != UsmSecurityLevel::kNoAuthNoPriv) &&
                             encrypted == (level == UsmSecurityLevel::kAuthPriv);
  if (response.PduType != ber::kGetResponse || !level_matches || engine_id_.empty() ||
      security.EngineId != engine_id_ || security.UserName != user_.Name ||
      response.RequestId != sent_request_id_) {
    return Reject(response);
  }
  if (authenticated) {
    if (!InTimeWindow(security.EngineBoots, security.EngineTime, now_ms)) return Reject(response);
    // Step 7b: the agent's clock as an authenticated message tells it.
    if (security.EngineBoots > boots_ || security.EngineTime > EngineTime(now_ms)) {
      SetClock(security.EngineBoots, security.EngineTime, now_ms);
    }
  }
  return Verdict::kReply;
}

UsmSession::Verdict UsmSession::JudgeReport(const Snmpv3Message& m, bool authenticated,
                                            std::int64_t now_ms, TSNMPRec& response) {
  const auto binds = response.VarBinds();
  const std::string counter = binds.empty() ? std::string() : binds[0].Oid;
  const UsmSecurityParameters& security = m.Security;
  response.Reset();
  if (counter == kUnknownEngineIds) {
    if (security.EngineId.empty()) return Reject(response);
    LearnEngine(security.EngineId, security.EngineBoots, security.EngineTime, now_ms);
    return Verdict::kEngineLearned;
  }
  if (counter == kNotInTimeWindows) {
    // Anyone could claim another clock; only the agent can sign it.
    if (!authenticated) return Reject(response);
    SetClock(security.EngineBoots, security.EngineTime, now_ms);
    return Verdict::kTimeResynced;
  }
  std::string reason =
      "refused (report " + (counter.empty() ? std::string("without a counter") : counter) + ")";
  for (const auto& [refusal_counter, refusal_reason] : kRefusals) {
    if (counter == refusal_counter) reason = refusal_reason;
  }
  refusal_ = Status::Refused(std::move(reason));
  return Verdict::kRefused;
}

}  // namespace plovex
