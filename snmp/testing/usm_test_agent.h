#pragma once
// Test double: the agent's side of the User-based Security Model for
// MemoryUdpTransport, as RFC 3414 3.2 has an authoritative engine judge a
// request: unknown engine ID, unknown user, unsupported level, wrong digest,
// outside the time window (each answered by its Report), decryption, then a
// GetResponse from a small table of values, sealed at the request's level.
// Its engine clock runs on the transport's clock. The pieces (SealReply,
// Report) are open so that a test can forge, replay or strip replies.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "base/big_endian.h"
#include "snmp/ber_cursor.h"
#include "snmp/snmpv3_message.h"
#include "snmp/testing/memory_udp_transport.h"
#include "snmp/testing/test_bytes.h"
#include "snmp/tsnmp_rec.h"
#include "snmp/usm_crypto.h"
#include "snmp/usm_keys.h"
#include "snmp/usm_user.h"

namespace plovex::testing {

inline constexpr char kUnknownEngineIds[] = "1.3.6.1.6.3.15.1.1.4.0";
inline constexpr char kNotInTimeWindows[] = "1.3.6.1.6.3.15.1.1.2.0";
inline constexpr char kUnknownUserNames[] = "1.3.6.1.6.3.15.1.1.3.0";
inline constexpr char kWrongDigests[] = "1.3.6.1.6.3.15.1.1.5.0";
inline constexpr char kUnsupportedSecLevels[] = "1.3.6.1.6.3.15.1.1.1.0";
inline constexpr char kDecryptionErrors[] = "1.3.6.1.6.3.15.1.1.6.0";

class UsmTestAgent {
 public:
  std::string engine_id = Bytes("80 00 1F 88 04 70 6C 6F 76");
  std::int32_t boots = 7;
  std::int32_t time_at_zero = 5000;  // engine time while the transport's clock reads 0
  UsmUser user;
  std::map<std::string, std::pair<std::string, std::int32_t>> values;  // oid -> text, tag
  int answered = 0;                                                    // GetResponses sent
  // Whether a request for another engine ID gets its Report; some agents
  // drop it without a word (a discovery probe, with no engine ID, is always
  // answered).
  bool report_unknown_engine = true;
  // How the Reports of a wrong digest and of a message that cannot be
  // decrypted are sealed: 0 sends the first in the clear and nothing for the
  // second; some agents authenticate and encrypt both with the user's keys.
  std::uint8_t refusal_flags = 0;

  // What the agent understood of the last message.
  std::optional<Snmpv3Message> last;
  std::string last_datagram;
  TSNMPRec last_pdu;

  std::int32_t EngineTime(std::int64_t now_ms) const {
    return time_at_zero + static_cast<std::int32_t>(now_ms / 1000);
  }
  std::string AuthKey() const {
    return LocalizeKey(user.Auth, user.AuthKey, engine_id).value_or("");
  }
  std::string PrivKey() const {
    return LocalizeKey(user.Auth, user.PrivKey, engine_id).value_or("");
  }

  // The answer to one datagram; empty for none.
  std::string Answer(std::string_view datagram, std::int64_t now_ms) {
    last_datagram.assign(datagram);
    Result<Snmpv3Message> decoded = DecodeSnmpv3Message(last_datagram);
    last.reset();
    if (!decoded) return {};
    last = std::move(*decoded);
    const UsmSecurityParameters& sec = last->Security;
    const std::uint8_t flags = last->Header.MsgFlags;
    last_pdu.Reset();
    last_pdu.Version = 3;
    if (!last->Encrypted) {
      if (const auto scoped = DecodeScopedPdu(last->ScopedPdu)) {
        static_cast<void>(last_pdu.DecodePdu(scoped->Pdu));  // damage: an empty PDU
      }
    }
    if (sec.EngineId != engine_id) {
      if (!sec.EngineId.empty() && !report_unknown_engine) return {};
      return Report(kUnknownEngineIds, 0, now_ms);
    }
    if (sec.UserName != user.Name) return Report(kUnknownUserNames, 0, now_ms);
    const bool auth = flags & snmpv3::kAuthFlag;
    const bool priv = flags & snmpv3::kPrivFlag;
    if ((auth && user.Auth == UsmAuthProtocol::kNone) ||
        (priv && user.Priv == UsmPrivProtocol::kNone)) {
      return Report(kUnsupportedSecLevels, 0, now_ms);
    }
    if (auth) {
      std::string zeroed = last_datagram;
      std::fill_n(zeroed.begin() + static_cast<std::ptrdiff_t>(last->AuthOffset),
                  sec.AuthParameters.size(), '\0');
      if (!UsmMacMatches(user.Auth, AuthKey(), zeroed, sec.AuthParameters)) {
        return Report(kWrongDigests, refusal_flags, now_ms);
      }
      const std::int32_t diff = sec.EngineTime - EngineTime(now_ms);
      if (sec.EngineBoots != boots || diff > 150 || diff < -150) {
        return Report(kNotInTimeWindows, snmpv3::kAuthFlag, now_ms);
      }
    }
    if (priv) {
      const std::string plain =
          Aes128CfbDecrypt(PrivKey(), Iv(sec.EngineBoots, sec.EngineTime, sec.PrivParameters),
                           last->EncryptedPdu)
              .value_or("");
      const auto scoped = DecodeScopedPdu(plain);
      if (!scoped || !last_pdu.DecodePdu(scoped->Pdu).ok()) {
        return refusal_flags == 0 ? std::string()
                                  : Report(kDecryptionErrors, refusal_flags, now_ms);
      }
    }
    TSNMPRec reply;
    reply.Version = 3;
    reply.PduType = 0xA2;
    reply.RequestId = last_pdu.RequestId;
    for (const TSNMPMib& b : last_pdu.VarBinds()) {
      const auto it = values.find(b.Oid);
      if (it == values.end()) {
        reply.AddVarBind(b.Oid, "", 0x81);  // noSuchInstance
      } else {
        reply.AddVarBind(b.Oid, it->second.first, it->second.second);
      }
    }
    ++answered;
    return SealReply(reply, flags & (snmpv3::kAuthFlag | snmpv3::kPrivFlag), boots,
                     EngineTime(now_ms));
  }

  // A message answering the last one (its msgID) with `pdu`, at `flags`.
  std::string SealReply(const TSNMPRec& pdu, std::uint8_t flags, std::int32_t with_boots,
                        std::int32_t with_time) {
    Snmpv3Header header;
    header.MsgId = last ? last->Header.MsgId : 0;
    header.MsgFlags = flags;
    UsmSecurityParameters sec;
    sec.EngineId = engine_id;
    sec.EngineBoots = with_boots;
    sec.EngineTime = with_time;
    sec.UserName = last ? last->Security.UserName : "";
    std::string encoded;
    pdu.AppendPdu(encoded);
    std::string data = EncodeScopedPdu(engine_id, "", encoded);
    if (flags & snmpv3::kPrivFlag) {
      sec.PrivParameters = Bytes("01 02 03 04 05 06 07 08");
      sec.PrivParameters[7] = static_cast<char>(++salt_);
      const std::string encrypted =
          Aes128CfbEncrypt(PrivKey(), Iv(with_boots, with_time, sec.PrivParameters), data)
              .value_or("");
      data.clear();
      ber::BerAppendElement(data, 0x04, encrypted);
    }
    if (flags & snmpv3::kAuthFlag)
      sec.AuthParameters.assign(UsmAuthRow(user.Auth).mac_length, '\0');
    std::size_t offset = 0;
    std::string message = EncodeSnmpv3Message(header, sec, data, &offset);
    if (flags & snmpv3::kAuthFlag) {
      const std::string mac = UsmMac(user.Auth, AuthKey(), message).value_or("");
      std::copy(mac.begin(), mac.end(), message.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    return message;
  }

  // A Report naming one usmStats counter, answering the last message.
  std::string Report(const char* counter, std::uint8_t flags, std::int64_t now_ms) {
    TSNMPRec report;
    report.Version = 3;
    report.PduType = 0xA8;
    report.RequestId = last_pdu.RequestId;
    report.AddVarBind(counter, "1", 0x41);
    return SealReply(report, flags, boots, EngineTime(now_ms));
  }

  // Answers every datagram sent through `net` after delay_ms.
  void Serve(MemoryUdpTransport& net, std::int64_t delay_ms = 2) {
    net.responder = [this, delay_ms](const MemoryUdpTransport::Datagram& sent,
                                     MemoryUdpTransport& n) {
      const std::string answer = Answer(sent.bytes, n.now_ms);
      if (!answer.empty()) n.Deliver(sent.peer, answer, delay_ms);
    };
  }

 private:
  static std::string Iv(std::int32_t b, std::int32_t t, const std::string& salt) {
    std::string iv;
    AppendBigEndian(iv, static_cast<std::uint32_t>(b), 4);
    AppendBigEndian(iv, static_cast<std::uint32_t>(t), 4);
    return iv + salt;
  }
  int salt_ = 0;
};

}  // namespace plovex::testing
