// The version 3 message's framing: what the writer produces, what the
// reader takes back, and that the reader refuses every truncated or
// malformed message without reading outside it.
#include <gtest/gtest.h>

#include <memory>

#include "snmp/snmpv3_message.h"
#include "snmp/testing/test_bytes.h"
#include "snmp/tsnmp_rec.h"

namespace plovex {
namespace {

using testing::Bytes;
using testing::Element;
using testing::Hex;

UsmSecurityParameters Parameters() {
  UsmSecurityParameters p;
  p.EngineId = Bytes("80 00 1F 88 04 70 6C 6F 76");
  p.EngineBoots = 7;
  p.EngineTime = 300;
  p.UserName = "plovex";
  p.AuthParameters = std::string(12, '\0');
  p.PrivParameters = Bytes("00 00 00 00 00 00 00 2A");
  return p;
}

std::string GetPdu() {
  TSNMPRec r;
  r.PduType = 0xA2;
  r.RequestId = 0x12345678;
  r.AddVarBind("1.3.6.1.2.1.1.1.0", "Test agent", 4);
  std::string pdu;
  r.AppendPdu(pdu);
  return pdu;
}

// Decodes from an exactly sized heap copy, so a sanitizer sees any read past it.
Result<Snmpv3Message> DecodeExact(std::string_view bytes, std::unique_ptr<char[]>& keep) {
  keep.reset(new char[bytes.size() + 1]);
  std::copy(bytes.begin(), bytes.end(), keep.get());
  return DecodeSnmpv3Message(std::string_view(keep.get(), bytes.size()));
}

TEST(Snmpv3Message, TheWriterLaysOutTheRfc3412Envelope) {
  const std::string pdu = Bytes("A0 0B 02 01 05 02 01 00 02 01 00 30 00");
  Snmpv3Header header;
  header.MsgId = 9;
  header.MsgFlags = 0x04;
  const std::string message =
      EncodeSnmpv3Message(header, UsmSecurityParameters{}, EncodeScopedPdu("", "", pdu));
  // The discovery probe as RFC 3414 4 has it: no engine, no user, reportable.
  EXPECT_EQ(Hex(message), Hex(Bytes("30 38 02 01 03"
                                    " 30 0E 02 01 09 02 03 00 FF E3 04 01 04 02 01 03"
                                    " 04 10 30 0E 04 00 02 01 00 02 01 00 04 00 04 00 04 00"
                                    " 30 11 04 00 04 00 A0 0B 02 01 05 02 01 00 02 01 00 30 00")));
}

TEST(Snmpv3Message, RoundTripsPlainAndEncrypted) {
  Snmpv3Header header{0x7FFFFFFF, 484, 0x07, 3};
  const UsmSecurityParameters sec = Parameters();
  const std::string scoped = EncodeScopedPdu(sec.EngineId, "ctx", GetPdu());
  std::size_t auth_offset = 0;
  const std::string plain = EncodeSnmpv3Message(header, sec, scoped, &auth_offset);
  const auto m = DecodeSnmpv3Message(plain);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Header, header);
  EXPECT_EQ(m->Security, sec);
  EXPECT_EQ(m->AuthOffset, auth_offset);
  EXPECT_EQ(plain.substr(auth_offset, 12), std::string(12, '\0'));
  EXPECT_FALSE(m->Encrypted);
  EXPECT_EQ(m->ScopedPdu, scoped);
  const auto s = DecodeScopedPdu(m->ScopedPdu);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->ContextEngineId, sec.EngineId);
  EXPECT_EQ(s->ContextName, "ctx");
  TSNMPRec r;
  r.Version = 3;
  ASSERT_TRUE(r.DecodePdu(s->Pdu).ok());
  EXPECT_EQ(r.PduType, 0xA2);
  EXPECT_EQ(r.RequestId, 0x12345678);
  EXPECT_EQ(r.FindValue("1.3.6.1.2.1.1.1.0"), "Test agent");

  const std::string cipher = "opaque bytes standing for the ciphertext";
  const std::string encrypted = EncodeSnmpv3Message(header, sec, Element(0x04, cipher));
  const auto e = DecodeSnmpv3Message(encrypted);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->Encrypted);
  EXPECT_EQ(e->EncryptedPdu, cipher);
  EXPECT_EQ(encrypted.substr(e->AuthOffset, 12), std::string(12, '\0'));
  EXPECT_EQ(e->Security, sec);
}

TEST(Snmpv3Message, EveryTruncatedPrefixIsRefused) {
  const std::string message =
      EncodeSnmpv3Message(Snmpv3Header{42, 65507, 0x03, 3}, Parameters(),
                          EncodeScopedPdu(Parameters().EngineId, "", GetPdu()));
  std::unique_ptr<char[]> keep;
  ASSERT_TRUE(DecodeExact(message, keep));
  for (std::size_t n = 0; n < message.size(); ++n) {
    EXPECT_FALSE(DecodeExact(std::string_view(message).substr(0, n), keep)) << n;
  }
  // The security parameters and the scopedPDU on their own, too.
  std::string params;
  AppendUsmSecurityParameters(Parameters(), params);
  const std::string scoped = EncodeScopedPdu("e", "", GetPdu());
  for (std::size_t n = 0; n < params.size(); ++n) {
    EXPECT_FALSE(DecodeUsmSecurityParameters(std::string_view(params).substr(0, n))) << n;
  }
  for (std::size_t n = 0; n < scoped.size(); ++n) {
    EXPECT_FALSE(DecodeScopedPdu(std::string_view(scoped).substr(0, n))) << n;
  }
}

// A message from its parts, each given raw so that one can be damaged.
std::string Message(const std::string& version, const std::string& global,
                    const std::string& params, const std::string& data) {
  return Element(0x30, version + global + Element(0x04, params) + data);
}

TEST(Snmpv3Message, MalformedPartsAreRefused) {
  const std::string version = Bytes("02 01 03");
  const std::string global = Element(0x30, Bytes("02 01 01 02 02 05 DC 04 01 03 02 01 03"));
  std::string params;
  AppendUsmSecurityParameters(Parameters(), params);
  const std::string data = EncodeScopedPdu("", "", GetPdu());
  ASSERT_TRUE(DecodeSnmpv3Message(Message(version, global, params, data)));

  auto sec = [](const std::string& content) { return Element(0x30, content); };
  const std::string good_tail =
      Bytes("04 06") + "plovex" + Element(0x04, std::string(12, '\0')) + Bytes("04 00");
  struct Row {
    const char* what;
    std::string message;
  } rows[] = {
      {"version 1", Message(Bytes("02 01 01"), global, params, data)},
      {"version as five bytes", Message(Bytes("02 05 00 00 00 00 03"), global, params, data)},
      {"flags of two bytes",
       Message(version, Element(0x30, Bytes("02 01 01 02 02 05 DC 04 02 03 00 02 01 03")), params,
               data)},
      {"negative msgID",
       Message(version, Element(0x30, Bytes("02 01 FF 02 02 05 DC 04 01 03 02 01 03")), params,
               data)},
      {"global data with an extra element",
       Message(version, Element(0x30, Bytes("02 01 01 02 02 05 DC 04 01 03 02 01 03 05 00")),
               params, data)},
      {"security parameters not a SEQUENCE", Message(version, global, Bytes("04 00"), data)},
      {"negative boots",
       Message(version, global, sec(Bytes("04 00 02 01 FF 02 01 00") + good_tail), data)},
      {"engine ID of 33 bytes",
       Message(version, global,
               sec(Element(0x04, std::string(33, 'e')) + Bytes("02 01 00 02 01 00") + good_tail),
               data)},
      {"user name of 33 bytes",
       Message(version, global,
               sec(Bytes("04 00 02 01 00 02 01 00") + Element(0x04, std::string(33, 'u')) +
                   Bytes("04 00 04 00")),
               data)},
      {"privacy parameters missing",
       Message(version, global, sec(Bytes("04 00 02 01 00 02 01 00 04 00 04 00")), data)},
      {"bytes after the security parameters", Message(version, global, params + "x", data)},
      {"msgData neither SEQUENCE nor OCTET STRING",
       Message(version, global, params, Bytes("02 01 00"))},
      {"no msgData", Message(version, global, params, "")},
      {"two msgData", Message(version, global, params, data + data)},
      {"a byte after the message", Message(version, global, params, data) + "x"},
      {"inner length beyond the message", Message(version, Bytes("30 7F 02 01 01"), params, data)},
  };
  for (const Row& row : rows) {
    std::unique_ptr<char[]> keep;
    const Status refused = DecodeExact(row.message, keep).status();
    EXPECT_EQ(refused.code(), StatusCode::kCorruption) << row.what;
    EXPECT_EQ(refused.message().rfind("version 3 message: ", 0), 0u) << refused.message();
  }

  EXPECT_FALSE(DecodeScopedPdu(Element(0x30, Bytes("04 00 04 00 30 00")))) << "not a PDU";
  EXPECT_FALSE(DecodeScopedPdu(Element(0x30, Bytes("04 00 A2 00 05 00")))) << "after the PDU";
  EXPECT_FALSE(DecodeScopedPdu(Element(0x30, Bytes("04 00 A2 00")))) << "no context name";
  // Decrypted bytes may run on past the scopedPDU.
  EXPECT_TRUE(DecodeScopedPdu(Element(0x30, Bytes("04 00 04 00 A2 00")) + "pad"));
}

}  // namespace
}  // namespace plovex
