#include "snmp/tsnmp_rec.h"

#include <algorithm>

#include "base/decimal.h"
#include "base/status.h"
#include "snmp/ber_format.h"
#include "snmp/ber_reader.h"
#include "snmp/ber_writer.h"

namespace plovex {

namespace {

// The unsigned decimal reading of a text for Counter, Gauge and TimeTicks
// values in a request; 0 when it is not one.
std::uint64_t ParseUnsigned(std::string_view text) { return ParseDecimalDigits(text).value_or(0); }

// The four bytes of a dotted-quad text; nothing when it is not one.
char* WriteIpAddressContent(char* out, std::string_view text) {
  char bytes[4];
  int n = 0;
  std::size_t pos = 0;
  for (;;) {
    std::size_t dot = text.find('.', pos);
    if (dot == std::string_view::npos) dot = text.size();
    const std::string_view part = text.substr(pos, dot - pos);
    if (n == 4 || part.size() > 3) return out;
    const Result<std::uint64_t> v = ParseDecimalDigits(part, 255);
    if (!v) return out;
    bytes[n++] = static_cast<char>(*v);
    if (dot == text.size()) break;
    pos = dot + 1;
  }
  return n == 4 ? std::copy(bytes, bytes + 4, out) : out;
}

// Room the value content of a binding may take.
std::size_t ValueContentBound(const TSNMPMib& bind) {
  switch (static_cast<std::uint8_t>(bind.Tag)) {
    case ber::kNull:
      return 0;
    case ber::kInteger:
    case ber::kIpAddress:
      return 4;
    case ber::kObjectId:
      return ber::OidContentBound(bind.Value.size());
    case ber::kCounter:
    case ber::kGauge:
    case ber::kTimeTicks:
      return 9;
    default:
      return bind.Value.size();
  }
}

char* WriteInteger(char* w, std::int32_t v) {
  w = ber::WriteHeader(w, ber::kInteger, ber::IntegerContentSize(v));
  return ber::WriteIntegerContent(w, v);
}

std::size_t IntegerElementSize(std::int32_t v) {
  return ber::ElementSize(ber::IntegerContentSize(v));
}

}  // namespace

// The content of a binding's SEQUENCE: its OID element and its value element.
std::size_t TSNMPRec::BindingContentSize(const EncodedBinding& e) {
  return ber::ElementSize(e.oid_length) + ber::ElementSize(e.contents.size() - e.oid_length);
}

void TSNMPRec::Reset() {
  Version = 0;
  Community.clear();
  PduType = 0;
  ErrorStatus = 0;
  ErrorIndex = 0;
  count_ = 0;
}

TSNMPMib& TSNMPRec::AppendSlot() {
  if (count_ == binds_.size()) {
    binds_.emplace_back();
    encoded_.emplace_back();
  }
  encoded_[count_].valid = false;
  TSNMPMib& b = binds_[count_++];
  b.Oid.clear();
  b.Value.clear();
  b.Tag = 0;
  return b;
}

void TSNMPRec::AddVarBind(std::string_view oid, std::string_view value, std::int32_t tag) {
  TSNMPMib& b = AppendSlot();
  b.Oid.assign(oid);
  b.Value.assign(value);
  b.Tag = tag;
  EncodeBinding(count_ - 1);
}

void TSNMPRec::DeleteVarBind(std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= count_) return;
  // The removed binding's storage moves behind the current ones for reuse.
  std::rotate(binds_.begin() + index, binds_.begin() + index + 1, binds_.begin() + count_);
  std::rotate(encoded_.begin() + index, encoded_.begin() + index + 1, encoded_.begin() + count_);
  --count_;
}

void TSNMPRec::EncodeBinding(std::size_t i) const {
  const TSNMPMib& b = binds_[i];
  EncodedBinding& e = encoded_[i];
  e.contents.resize(ber::OidContentBound(b.Oid.size()) + ValueContentBound(b));
  char* const begin = e.contents.data();
  char* const value = ber::WriteOidContent(begin, b.Oid);
  char* const end = WriteValueContent(value, b);
  e.oid_length = static_cast<std::size_t>(value - begin);
  e.contents.resize(static_cast<std::size_t>(end - begin));
  e.valid = true;
}

std::string TSNMPRec::FindValue(std::string_view oid) const {
  for (const TSNMPMib& b : VarBinds()) {
    if (b.Oid == oid) return b.Value;
  }
  return {};
}

char* TSNMPRec::WriteValueContent(char* out, const TSNMPMib& bind) {
  const std::string& v = bind.Value;
  switch (static_cast<std::uint8_t>(bind.Tag)) {
    case ber::kNull:
      return out;
    case ber::kInteger:
      return ber::WriteIntegerContent(
          out, static_cast<std::int32_t>(ParseSignedDecimal(v, 32).value_or(0)));
    case ber::kObjectId:
      return ber::WriteOidContent(out, v);
    case ber::kIpAddress:
      return WriteIpAddressContent(out, v);
    case ber::kCounter:
      return ber::WriteUnsignedContent(out, ParseUnsigned(v));
    case ber::kGauge:
    case ber::kTimeTicks:
      return ber::WriteUnsignedContent(out, ParseUnsigned(v) & 0xFFFFFFFFu);
    default:
      return std::copy(v.begin(), v.end(), out);
  }
}

std::string TSNMPRec::Encode() const {
  std::string out;
  EncodeTo(out);
  return out;
}

TSNMPRec::PduSizes TSNMPRec::SizePdu() const {
  PduSizes sizes;
  for (std::size_t i = 0; i < count_; ++i) {
    if (!encoded_[i].valid) EncodeBinding(i);
    sizes.list_content += ber::ElementSize(BindingContentSize(encoded_[i]));
  }
  sizes.pdu_content = IntegerElementSize(RequestId) + IntegerElementSize(ErrorStatus) +
                      IntegerElementSize(ErrorIndex) + ber::ElementSize(sizes.list_content);
  return sizes;
}

char* TSNMPRec::WritePdu(char* w, const PduSizes& sizes) const {
  w = ber::WriteHeader(w, static_cast<std::uint8_t>(PduType), sizes.pdu_content);
  w = WriteInteger(w, RequestId);
  w = WriteInteger(w, ErrorStatus);
  w = WriteInteger(w, ErrorIndex);
  w = ber::WriteHeader(w, ber::kSequence, sizes.list_content);
  for (std::size_t i = 0; i < count_; ++i) {
    const EncodedBinding& e = encoded_[i];
    const char* const oid = e.contents.data();
    const char* const value = oid + e.oid_length;
    const char* const end = oid + e.contents.size();
    w = ber::WriteHeader(w, ber::kSequence, BindingContentSize(e));
    w = ber::WriteHeader(w, ber::kObjectId, e.oid_length);
    w = std::copy(oid, value, w);
    w = ber::WriteHeader(w, static_cast<std::uint8_t>(binds_[i].Tag), end - value);
    w = std::copy(value, end, w);
  }
  return w;
}

void TSNMPRec::EncodeTo(std::string& out) const {
  // The lengths inside out first, for the headers that carry them; then the
  // message front to back in one go.
  const PduSizes sizes = SizePdu();
  const std::size_t message_content = IntegerElementSize(Version) +
                                      ber::ElementSize(Community.size()) +
                                      ber::ElementSize(sizes.pdu_content);
  out.resize(ber::ElementSize(message_content));
  char* w = out.data();
  w = ber::WriteHeader(w, ber::kSequence, message_content);
  w = WriteInteger(w, Version);
  w = ber::WriteHeader(w, ber::kOctetString, Community.size());
  w = std::copy(Community.begin(), Community.end(), w);
  WritePdu(w, sizes);
}

void TSNMPRec::AppendPdu(std::string& out) const {
  const PduSizes sizes = SizePdu();
  const std::size_t start = out.size();
  out.resize(start + ber::ElementSize(sizes.pdu_content));
  WritePdu(out.data() + start, sizes);
}

Status TSNMPRec::Decode(std::string_view datagram) {
  const char* begin = datagram.data();
  const char* end = begin + datagram.size();
  if (datagram.size() < 2) return Status::Corruption("not an SNMP message: under 2 bytes");
  if (!(static_cast<std::uint8_t>(*begin) & ber::kConstructedBit)) {
    return Status::Corruption("not an SNMP message: no constructed element");
  }
  const char* p = begin + 1;
  const Result<std::uint64_t> outer_length = ber::ReadLength(p, end);
  if (!outer_length) return outer_length.status().WithContext("not an SNMP message");
  if (*outer_length > datagram.size() - 2) {
    return Status::Corruption("not an SNMP message: shorter than its length");
  }
  // The +2 check above trusts a short header; with a long-form length the
  // content may still end past the datagram, and reading stops at its end.
  const char* content_end =
      *outer_length > static_cast<std::uint64_t>(end - p) ? end : p + *outer_length;

  ber::BerReader reader(p, end);
  Version = ber::ItemNumber(reader.Next(), scratch_);
  Community.clear();
  ber::AppendItemText(reader.Next(), Community);
  DecodePduItems(reader, content_end);
  return Status::Ok();
}

Status TSNMPRec::DecodePdu(std::string_view pdu) {
  const char* const end = pdu.data() + pdu.size();
  ber::BerReader probe(pdu.data(), end);
  const ber::Item header = probe.Next();
  if (header.kind != ber::Item::Kind::kConstructed) {
    return Status::Corruption("not a PDU: no whole constructed element");
  }
  ber::BerReader reader(pdu.data(), end);
  DecodePduItems(reader, header.content + header.length);
  return Status::Ok();
}

void TSNMPRec::DecodePduItems(ber::BerReader& reader, const char* content_end) {
  PduType = ber::ItemNumber(reader.Next(), scratch_);
  RequestId = ber::ItemNumber(reader.Next(), scratch_);
  ErrorStatus = ber::ItemNumber(reader.Next(), scratch_);
  ErrorIndex = ber::ItemNumber(reader.Next(), scratch_);
  reader.Next();  // the header of the bindings list

  // Version 1 has no 64-bit counters: there it stays an unknown tag.
  const bool counter64 = Version == ber::kVersion2c || Version == ber::kVersion3;
  while (reader.position() < content_end) {
    if (reader.Next().kind == ber::Item::Kind::kAbsent) break;  // the binding's SEQUENCE header
    TSNMPMib& b = AppendSlot();
    ber::AppendItemText(reader.Next(), b.Oid);
    const ber::Item value = reader.Next();
    if (value.tag == ber::kCounter64 && counter64) {
      ber::AppendCounter64Text(value, b.Value);
    } else {
      ber::AppendItemText(value, b.Value);
    }
    b.Tag = value.tag;
  }
}

}  // namespace plovex
