// libFuzzer target for the version 3 decoders: the message envelope, the USM
// security parameters and the scopedPDU, each on the raw input and on what
// the layer above hands it. Nothing may be read outside the input, every
// view must lie inside it, and whatever decodes must encode and decode again
// to the same fields.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "snmp/ber_cursor.h"
#include "snmp/snmpv3_message.h"
#include "snmp/tsnmp_rec.h"
#include "snmp/usm_security_parameters.h"

namespace {

bool Inside(std::string_view part, std::string_view whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void CheckScopedPdu(std::string_view bytes) {
  const auto scoped = plovex::DecodeScopedPdu(bytes);
  if (!scoped) return;
  if (!Inside(scoped->Pdu, bytes)) __builtin_trap();
  plovex::TSNMPRec pdu;
  pdu.Version = 3;
  if (!pdu.DecodePdu(scoped->Pdu).ok()) __builtin_trap();
  for (const plovex::TSNMPMib& b : pdu.VarBinds()) {
    if (b.Value.size() > 4 * bytes.size() + 16 || b.Oid.size() > 4 * bytes.size() + 16) {
      __builtin_trap();
    }
  }
  const std::string again =
      plovex::EncodeScopedPdu(scoped->ContextEngineId, scoped->ContextName, scoped->Pdu);
  const auto reread = plovex::DecodeScopedPdu(again);
  if (!reread || reread->ContextEngineId != scoped->ContextEngineId ||
      reread->ContextName != scoped->ContextName || reread->Pdu != scoped->Pdu) {
    __builtin_trap();
  }
}

void CheckSecurityParameters(std::string_view bytes) {
  std::size_t offset = 0;
  const auto p = plovex::DecodeUsmSecurityParameters(bytes, &offset);
  if (!p) return;
  if (offset + p->AuthParameters.size() > bytes.size() ||
      bytes.substr(offset, p->AuthParameters.size()) != p->AuthParameters) {
    __builtin_trap();
  }
  std::string again;
  plovex::AppendUsmSecurityParameters(*p, again);
  const auto reread = plovex::DecodeUsmSecurityParameters(again);
  if (!reread || *reread != *p) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckSecurityParameters(input);
  CheckScopedPdu(input);

  const auto m = plovex::DecodeSnmpv3Message(input);
  if (!m) return 0;
  const std::size_t mac = m->Security.AuthParameters.size();
  if (m->AuthOffset + mac > size ||
      input.substr(m->AuthOffset, mac) != m->Security.AuthParameters) {
    __builtin_trap();
  }
  if (!Inside(m->ScopedPdu, input) || !Inside(m->EncryptedPdu, input)) __builtin_trap();
  if (m->Encrypted) {
    // Whatever a decryption gives is fed to the scopedPDU reader as well.
    CheckScopedPdu(m->EncryptedPdu);
  } else {
    CheckScopedPdu(m->ScopedPdu);
  }
  std::string msg_data;
  if (m->Encrypted) {
    plovex::ber::BerAppendElement(msg_data, 0x04, m->EncryptedPdu);
  } else {
    msg_data.assign(m->ScopedPdu);
  }
  std::size_t offset = 0;
  const std::string again = plovex::EncodeSnmpv3Message(m->Header, m->Security, msg_data, &offset);
  const auto reread = plovex::DecodeSnmpv3Message(again);
  if (!reread || reread->Header != m->Header || reread->Security != m->Security ||
      reread->Encrypted != m->Encrypted || reread->AuthOffset != offset) {
    __builtin_trap();
  }
  return 0;
}
