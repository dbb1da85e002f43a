#pragma once
// The version 3 message of RFC 3412 6 around the USM security parameters and
// the scopedPDU:
//   SEQUENCE { msgVersion INTEGER 3,
//              msgGlobalData SEQUENCE { msgID INTEGER, msgMaxSize INTEGER,
//                                       msgFlags OCTET STRING (SIZE(1)),
//                                       msgSecurityModel INTEGER },
//              msgSecurityParameters OCTET STRING,
//              msgData: a plaintext scopedPDU SEQUENCE { contextEngineID
//                       OCTET STRING, contextName OCTET STRING, PDU } or an
//                       encryptedPDU OCTET STRING }
//
// The writer and the reader only frame: authentication and privacy are the
// session's (usm_session.h), which fills in the MAC at the offset the writer
// reports and decrypts the encryptedPDU the reader hands out.
//
// The reader is strict: every element must have its tag and lie inside its
// parent, numbers must fit, the message must fill the datagram exactly. It
// fails with kCorruption, saying what was wrong where, for anything else and
// never reads outside the datagram; the views it returns point into the
// datagram.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "snmp/usm_security_parameters.h"

namespace plovex {

namespace snmpv3 {

inline constexpr std::uint8_t kAuthFlag = 0x01;
inline constexpr std::uint8_t kPrivFlag = 0x02;
inline constexpr std::uint8_t kReportableFlag = 0x04;
// RFC 3411: the User-based Security Model.
inline constexpr std::int32_t kUsmSecurityModel = 3;
// The largest message this client takes: a UDP datagram's payload.
inline constexpr std::int32_t kMaxMessageSize = 65507;

}  // namespace snmpv3

struct Snmpv3Header {
  std::int32_t MsgId = 0;
  std::int32_t MsgMaxSize = snmpv3::kMaxMessageSize;
  std::uint8_t MsgFlags = 0;
  std::int32_t MsgSecurityModel = snmpv3::kUsmSecurityModel;

  bool operator==(const Snmpv3Header&) const = default;
};

// The scopedPDU element around an encoded PDU.
std::string EncodeScopedPdu(std::string_view context_engine_id, std::string_view context_name,
                            std::string_view pdu);

// The whole message. msg_data is the complete msgData element: a scopedPDU
// from EncodeScopedPdu, or an OCTET STRING element around the encrypted one.
// auth_offset (when given) receives the position of the authentication
// parameters' content in the result.
std::string EncodeSnmpv3Message(const Snmpv3Header& header, const UsmSecurityParameters& security,
                                std::string_view msg_data, std::size_t* auth_offset = nullptr);

struct Snmpv3Message {
  Snmpv3Header Header;
  UsmSecurityParameters Security;
  std::size_t AuthOffset = 0;  // of the authentication parameters' content
  bool Encrypted = false;
  std::string_view ScopedPdu;     // plaintext: the whole scopedPDU element
  std::string_view EncryptedPdu;  // encrypted: the OCTET STRING's content
};

// A message whose msgVersion is 3 and that fills `datagram` exactly.
Result<Snmpv3Message> DecodeSnmpv3Message(std::string_view datagram);

struct ScopedPdu {
  std::string ContextEngineId;
  std::string ContextName;
  std::string_view Pdu;  // the whole PDU element, for TSNMPRec::DecodePdu
};

// The scopedPDU element at the start of `bytes`. Bytes after it are allowed:
// a decrypted PDU is as long as the ciphertext, which a sender may pad.
Result<ScopedPdu> DecodeScopedPdu(std::string_view bytes);

}  // namespace plovex
