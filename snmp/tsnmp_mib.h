#pragma once
// TSNMPMib: one variable binding of an SNMP message. In a request, Oid is the
// caller's text unchanged; in a decoded reply it is dotted decimal without a
// leading or trailing dot. Value is the value in text form and may hold any
// bytes (OCTET STRING content stays byte for byte, zero bytes included). Tag
// is the BER tag of the value: 2 INTEGER, 4 OCTET STRING, 5 NULL, 6 OBJECT
// IDENTIFIER, 0x40 IpAddress, 0x41 Counter, 0x42 Gauge, 0x43 TimeTicks,
// 0x44 Opaque, or whatever other tag a reply carries.
#include <cstdint>
#include <string>

namespace plovex {

struct TSNMPMib {
  std::string Oid;
  std::string Value;
  std::int32_t Tag = 0;
};

}  // namespace plovex
