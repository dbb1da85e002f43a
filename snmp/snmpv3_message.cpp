#include "snmp/snmpv3_message.h"

#include "snmp/ber_cursor.h"

namespace plovex {

namespace {

// The PDUs of RFC 3416 are the context-specific constructed tags 0xA0 to 0xA8.
bool IsPduTag(std::uint8_t tag) { return tag >= 0xA0 && tag <= 0xA8; }

}  // namespace

std::string EncodeScopedPdu(std::string_view context_engine_id, std::string_view context_name,
                            std::string_view pdu) {
  std::string content;
  ber::BerAppendElement(content, ber::kOctetString, context_engine_id);
  ber::BerAppendElement(content, ber::kOctetString, context_name);
  content.append(pdu);
  std::string out;
  ber::BerAppendElement(out, ber::kSequence, content);
  return out;
}

std::string EncodeSnmpv3Message(const Snmpv3Header& header, const UsmSecurityParameters& security,
                                std::string_view msg_data, std::size_t* auth_offset) {
  std::string global;
  ber::BerAppendInteger(global, header.MsgId);
  ber::BerAppendInteger(global, header.MsgMaxSize);
  ber::BerAppendElement(global, ber::kOctetString,
                        std::string_view(reinterpret_cast<const char*>(&header.MsgFlags), 1));
  ber::BerAppendInteger(global, header.MsgSecurityModel);

  std::string parameters;
  std::size_t auth_in_parameters = 0;
  AppendUsmSecurityParameters(security, parameters, &auth_in_parameters);

  std::string content;
  ber::BerAppendInteger(content, ber::kVersion3);
  ber::BerAppendElement(content, ber::kSequence, global);
  ber::BerAppendHeader(content, ber::kOctetString, parameters.size());
  const std::size_t parameters_in_content = content.size();
  content.append(parameters);
  content.append(msg_data);

  std::string out;
  ber::BerAppendHeader(out, ber::kSequence, content.size());
  if (auth_offset != nullptr)
    *auth_offset = out.size() + parameters_in_content + auth_in_parameters;
  out.append(content);
  return out;
}

Result<Snmpv3Message> DecodeSnmpv3Message(std::string_view datagram) {
  const auto failed = [](const Status& s) { return s.WithContext("version 3 message"); };
  const auto message = ber::TakeOuter(datagram, ber::kSequence, true);
  if (!message) return failed(message.status());
  ber::BerCursor in(*message);
  const auto version = in.TakeInteger();
  if (!version) return failed(version.status().WithContext("msgVersion"));
  if (*version != ber::kVersion3) {
    return failed(Status::Corruption("msgVersion " + std::to_string(*version)));
  }

  Snmpv3Message m;
  const auto global = in.Take(ber::kSequence);
  if (!global) return failed(global.status().WithContext("msgGlobalData"));
  ber::BerCursor g(*global);
  const auto id = g.TakeNonNegative();
  const auto max_size = g.TakeNonNegative();
  const auto flags = g.Take(ber::kOctetString);
  const auto model = g.TakeNonNegative();
  const Status taken =
      ber::FirstFailure({id.status(), max_size.status(), flags.status(), model.status()});
  if (!taken.ok()) return failed(taken.WithContext("msgGlobalData"));
  if (flags->size() != 1) return failed(Status::Corruption("msgFlags not of one byte"));
  if (!g.AtEnd()) return failed(Status::Corruption("bytes after msgSecurityModel"));
  m.Header = {*id, *max_size, static_cast<std::uint8_t>((*flags)[0]), *model};

  const auto parameters = in.Take(ber::kOctetString);
  if (!parameters) return failed(parameters.status().WithContext("msgSecurityParameters"));
  std::size_t auth_in_parameters = 0;
  auto security = DecodeUsmSecurityParameters(*parameters, &auth_in_parameters);
  if (!security) return failed(security.status());
  m.Security = std::move(*security);
  m.AuthOffset =
      static_cast<std::size_t>(parameters->data() - datagram.data()) + auth_in_parameters;

  const auto tag = in.PeekTag();
  if (tag == ber::kOctetString) {
    const auto encrypted = in.Take(ber::kOctetString);
    if (!encrypted) return failed(encrypted.status().WithContext("encryptedPDU"));
    m.Encrypted = true;
    m.EncryptedPdu = *encrypted;
  } else if (tag == ber::kSequence) {
    const char* const start = in.position();
    const auto scoped = in.Take(ber::kSequence);
    if (!scoped) return failed(scoped.status().WithContext("scopedPDU"));
    m.ScopedPdu = std::string_view(start, static_cast<std::size_t>(in.position() - start));
  } else {
    return failed(Status::Corruption("msgData neither a scopedPDU nor an encryptedPDU"));
  }
  if (!in.AtEnd()) return failed(Status::Corruption("bytes after msgData"));
  return m;
}

Result<ScopedPdu> DecodeScopedPdu(std::string_view bytes) {
  const auto failed = [](const Status& s) { return s.WithContext("scopedPDU"); };
  const auto scoped = ber::TakeOuter(bytes, ber::kSequence, false);  // a decryption may pad
  if (!scoped) return failed(scoped.status());
  ber::BerCursor in(*scoped);
  const auto engine = in.Take(ber::kOctetString);
  const auto name = in.Take(ber::kOctetString);
  const Status taken = ber::FirstFailure({engine.status(), name.status()});
  if (!taken.ok()) return failed(taken);
  const auto tag = in.PeekTag();
  if (!tag || !IsPduTag(*tag)) return failed(Status::Corruption("no PDU after the context"));
  const char* const start = in.position();
  const auto pdu = in.Take(*tag);
  if (!pdu) return failed(pdu.status());
  if (!in.AtEnd()) return failed(Status::Corruption("bytes after the PDU"));
  ScopedPdu s;
  s.ContextEngineId.assign(*engine);
  s.ContextName.assign(*name);
  s.Pdu = std::string_view(start, static_cast<std::size_t>(in.position() - start));
  return s;
}

}  // namespace plovex
