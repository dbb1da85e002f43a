#pragma once
// TSNMPRec: one SNMP version 1 message (RFC 1157) or version 2c message (RFC
// 1901, 3416: Version 1, the same layout) with its variable bindings, and its
// encoding to and decoding from one UDP datagram.
//
// Values decode to the same texts in every version, with two additions for a
// message whose version field is 1 (2c) or 3 (a PDU of a version 3 message,
// see DecodePdu): a Counter64 (0x46) reads as its
// unsigned 64-bit decimal text, and the exceptions noSuchObject,
// noSuchInstance and endOfMibView (0x80 to 0x82) read as the empty text with
// their tag kept, so that a caller can tell them apart. In a version 1
// message a Counter64 stays the empty text.
//
// The record owns its bindings. Reset, DeleteVarBind and Decode keep the
// storage of removed bindings for reuse, so a record that is reset and
// refilled for every poll allocates nothing once it has seen its largest
// message; what callers observe is only the list of current bindings.
//
// RequestId is 1 from construction on and Reset leaves it alone, so every
// request carries request-id 1 unless a decoded reply overwrote it.
//
// Encode never fails. Decode fails (kCorruption, record untouched) only for
// a datagram that is not an SNMP message at all: shorter than 2 bytes, a first
// byte without the constructed bit, or shorter than its outer length + 2.
// Any damage further on still decodes: a damaged item becomes the empty text,
// and nothing outside the datagram is ever read.
//
// Not thread-safe: Encode completes the encoded form of decoded bindings
// inside the record.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "snmp/tsnmp_mib.h"

namespace plovex::ber {
class BerReader;
}

namespace plovex {

class TSNMPRec {
 public:
  TSNMPRec() = default;

  std::int32_t Version = 0;
  std::string Community;  // raw bytes
  std::int32_t PduType = 0;
  std::int32_t RequestId = 1;
  std::int32_t ErrorStatus = 0;
  std::int32_t ErrorIndex = 0;

  // Version, Community, PduType, ErrorStatus, ErrorIndex and the bindings
  // back to their initial state; RequestId keeps its value.
  void Reset();

  // Appends a binding; nothing is checked and an OID may occur twice.
  void AddVarBind(std::string_view oid, std::string_view value, std::int32_t tag);

  // Removes binding `index` (later ones move up); an index outside
  // 0 .. count-1 does nothing.
  void DeleteVarBind(std::int32_t index);

  // The Value of the first binding whose Oid equals `oid` byte for byte
  // (no normalisation of case, dots, blanks or leading zeros); empty when
  // there is none.
  std::string FindValue(std::string_view oid) const;

  // The current bindings in order.
  std::span<const TSNMPMib> VarBinds() const { return {binds_.data(), count_}; }

  // The message as one datagram: SEQUENCE { INTEGER Version, OCTET STRING
  // Community, PDU(PduType) { INTEGER RequestId, INTEGER ErrorStatus, INTEGER
  // ErrorIndex, SEQUENCE { SEQUENCE { OID, value }... } } }. A value by its
  // Tag: NULL (5) is 05 00 whatever Value holds; INTEGER (2) is Value read as
  // a signed 32-bit decimal number (0 when it is none); OBJECT IDENTIFIER (6)
  // is Value as dotted text; IpAddress (0x40) the four bytes of a dotted quad
  // (none for other texts); Counter (0x41), Gauge and TimeTicks (0x42, 0x43)
  // Value as an unsigned decimal number of 64 or 32 bits; any other tag
  // carries Value's bytes unchanged. Only the low byte of a tag is written.
  std::string Encode() const;
  // The same into `out`, replacing its content (its capacity is reused).
  void EncodeTo(std::string& out) const;

  // Fills the record in place from a datagram, appending its bindings.
  Status Decode(std::string_view datagram);

  // The PDU alone, as a version 3 message carries it inside its scopedPDU:
  // appended to `out` in the form Encode gives it.
  void AppendPdu(std::string& out) const;
  // Fills PduType, RequestId, ErrorStatus, ErrorIndex and the bindings from
  // one PDU element, as Decode does, reading values by the record's Version.
  // kCorruption (record untouched) unless `pdu` starts with a constructed
  // element that lies within it; damage inside still decodes as with Decode.
  Status DecodePdu(std::string_view pdu);

 private:
  // A binding's OID and value contents as they go into the message, so that
  // Encode only adds headers. AddVarBind fills it at once; a decoded binding
  // gets it at its first Encode.
  struct EncodedBinding {
    std::string contents;  // OID content, then value content
    std::size_t oid_length = 0;
    bool valid = false;
  };

  struct PduSizes {
    std::size_t list_content = 0;
    std::size_t pdu_content = 0;
  };
  // Content lengths of the PDU and its bindings list; completes the encoded
  // form of decoded bindings.
  PduSizes SizePdu() const;
  // Writes the PDU element at w, which has room for it; returns the end.
  char* WritePdu(char* w, const PduSizes& sizes) const;
  // Reads the PDU from its header item on, up to content_end.
  void DecodePduItems(ber::BerReader& reader, const char* content_end);

  static std::size_t BindingContentSize(const EncodedBinding& e);

  // The next free binding slot, cleared, counted as current.
  TSNMPMib& AppendSlot();
  void EncodeBinding(std::size_t i) const;
  // Writes the value element's content of a binding; returns the end.
  static char* WriteValueContent(char* out, const TSNMPMib& bind);

  std::vector<TSNMPMib> binds_;                  // binds_[0 .. count_-1] are current
  mutable std::vector<EncodedBinding> encoded_;  // parallel to binds_
  std::size_t count_ = 0;
  std::string scratch_;  // texts of header items while decoding
};

}  // namespace plovex
