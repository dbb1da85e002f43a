#pragma once
// The vocabulary of SNMP version 1 messages in BER (X.690 definite form, with
// the application types of RFC 1155 and the PDU tags of RFC 1157), shared by
// the encoder (ber_writer.h) and the decoder (ber_reader.h).
#include <cstdint>

namespace plovex::ber {

inline constexpr std::uint8_t kInteger = 0x02;
inline constexpr std::uint8_t kOctetString = 0x04;
inline constexpr std::uint8_t kNull = 0x05;
inline constexpr std::uint8_t kObjectId = 0x06;
inline constexpr std::uint8_t kSequence = 0x30;
inline constexpr std::uint8_t kIpAddress = 0x40;
inline constexpr std::uint8_t kCounter = 0x41;
inline constexpr std::uint8_t kGauge = 0x42;
inline constexpr std::uint8_t kTimeTicks = 0x43;
inline constexpr std::uint8_t kOpaque = 0x44;
// SNMPv2 (RFC 3416): the 64-bit counter and the per-binding exceptions.
inline constexpr std::uint8_t kCounter64 = 0x46;
inline constexpr std::uint8_t kNoSuchObject = 0x80;
inline constexpr std::uint8_t kNoSuchInstance = 0x81;
inline constexpr std::uint8_t kEndOfMibView = 0x82;

// A tag with this bit set opens a constructed element (SEQUENCE, the PDUs).
inline constexpr std::uint8_t kConstructedBit = 0x20;
// A first length byte with this bit set is followed by (byte & 0x7F) length bytes.
inline constexpr std::uint8_t kLongLengthBit = 0x80;

inline constexpr std::int32_t kGetRequest = 0xA0;
inline constexpr std::int32_t kGetNextRequest = 0xA1;
inline constexpr std::int32_t kGetResponse = 0xA2;
inline constexpr std::int32_t kSetRequest = 0xA3;
// Its error-status and error-index fields carry non-repeaters and
// max-repetitions (RFC 3416 4.2.3).
inline constexpr std::int32_t kGetBulkRequest = 0xA5;
inline constexpr std::int32_t kReport = 0xA8;

// The version field of a message: SNMPv1 (RFC 1157), SNMPv2c (RFC 1901) and
// SNMPv3 (RFC 3412, whose messages snmpv3_message.h encodes).
inline constexpr std::int32_t kVersion1 = 0;
inline constexpr std::int32_t kVersion2c = 1;
inline constexpr std::int32_t kVersion3 = 3;

// Every request goes to this UDP port of the agent; there is no setting for it.
inline constexpr std::uint16_t kAgentPort = 161;

}  // namespace plovex::ber
