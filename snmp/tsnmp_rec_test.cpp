#include "snmp/tsnmp_rec.h"

#include <gtest/gtest.h>

#include "snmp/testing/test_bytes.h"

namespace plovex {
namespace {

using testing::Binding;
using testing::Bytes;
using testing::Element;
using testing::Hex;
using testing::Reply;

constexpr char kIfInOctets2[] = "1.3.6.1.2.1.2.2.1.10.2";
constexpr char kIfInOctets2Hex[] = "2B 06 01 02 01 02 02 01 0A 02";

TSNMPRec Request(std::int32_t pdu_type, const std::string& community) {
  TSNMPRec r;
  r.Reset();
  r.Community = community;
  r.PduType = pdu_type;
  return r;
}

// ---- Encode ---------------------------------------------------------------

TEST(TSNMPRecEncode, PollGetRequestWorkedExample) {
  for (const std::size_t n : {0u, 1u, 6u, 93u}) {
    const std::string community(n, 'k');
    TSNMPRec r = Request(0xA0, community);
    r.AddVarBind(kIfInOctets2, "", 5);
    const std::string expected = Bytes("30") + char(34 + n) + Bytes("02 01 00 04") + char(n) +
                                 community +
                                 Bytes(
                                     "A0 1B 02 01 01 02 01 00 02 01 00 30 10 30 0E 06 0A 2B 06 01 "
                                     "02 01 02 02 01 0A 02 05 00");
    EXPECT_EQ(Hex(r.Encode()), Hex(expected)) << "community of " << n << " bytes";
    EXPECT_EQ(r.Encode().size(), 36 + n);
  }
}

TEST(TSNMPRecEncode, Version2cRequestsDifferOnlyInTheVersion) {
  // RFC 1901: the same message with version 1; the bulk walk's PDU carries
  // non-repeaters and max-repetitions where the others have the error fields.
  TSNMPRec r = Request(0xA0, "tamrel");
  r.Version = 1;
  r.AddVarBind("1.3.6.1.2.1.31.1.1.1.6.2", "", 5);
  EXPECT_EQ(Hex(r.Encode()),
            Hex(Bytes("30 29 02 01 01 04 06") + "tamrel" +
                Bytes("A0 1C 02 01 01 02 01 00 02 01 00 30 11 30 0F 06 0B 2B 06 01 02 01 1F 01 01 "
                      "01 06 02 05 00")));
  TSNMPRec bulk = Request(0xA5, "tamrel");
  bulk.Version = 1;
  bulk.ErrorIndex = 16;  // max-repetitions
  bulk.AddVarBind("1.3.6.1.2.1.4.20.1.1", "", 5);
  EXPECT_EQ(Hex(bulk.Encode()),
            Hex(Bytes("30 27 02 01 01 04 06") + "tamrel" +
                Bytes("A5 1A 02 01 01 02 01 00 02 01 10 30 0F 30 0D 06 09 2B 06 01 02 01 04 14 01 "
                      "01 05 00")));
}

TEST(TSNMPRecEncode, LongCommunityTakesTheLongOuterLength) {
  const std::string community(94, 'k');
  TSNMPRec r = Request(0xA0, community);
  r.AddVarBind(kIfInOctets2, "", 5);
  const std::string encoded = r.Encode();
  EXPECT_EQ(Hex(encoded.substr(0, 8)), "30 81 80 02 01 00 04 5E");
  EXPECT_EQ(encoded.size(), 37u + 94u);
}

TEST(TSNMPRecEncode, CounterResetSetRequestWorkedExample) {
  const std::string community = "tamrel";
  TSNMPRec r = Request(0xA3, community);
  r.AddVarBind(kIfInOctets2, "0", 2);
  const std::string expected = Bytes("30") + char(35 + 6) + Bytes("02 01 00 04 06") + community +
                               Bytes(
                                   "A3 1C 02 01 01 02 01 00 02 01 00 30 11 30 0F 06 0A 2B 06 01 02 "
                                   "01 02 02 01 0A 02 02 01 00");
  EXPECT_EQ(Hex(r.Encode()), Hex(expected));
}

TEST(TSNMPRecEncode, EmptyListAndHeaderFields) {
  TSNMPRec r = Request(0xA1, "");
  EXPECT_EQ(Hex(r.Encode()), "30 12 02 01 00 04 00 A1 0B 02 01 01 02 01 00 02 01 00 30 00");
  r.RequestId = 300;
  r.ErrorStatus = -1;
  r.PduType = 0x1A3;  // only the low byte of the tag is written
  EXPECT_EQ(Hex(r.Encode()), "30 13 02 01 00 04 00 A3 0C 02 02 01 2C 02 01 FF 02 01 00 30 00");
}

TEST(TSNMPRecEncode, ValuesByTag) {
  // The value element: what follows 30 LL 02 01 00 04 00 A3 LL, the three
  // INTEGERs, 30 LL 30 LL and the OID element 06 01 2B.
  auto value_of = [](std::string_view value, std::int32_t tag) {
    TSNMPRec r = Request(0xA3, "");
    r.AddVarBind("1.3", value, tag);
    return Hex(r.Encode().substr(25));
  };
  EXPECT_EQ(value_of("", 5), "05 00");
  EXPECT_EQ(value_of("ignored", 5), "05 00");
  EXPECT_EQ(value_of("0", 2), "02 01 00");
  EXPECT_EQ(value_of("-2", 2), "02 01 FE");
  EXPECT_EQ(value_of("70000", 2), "02 03 01 11 70");
  EXPECT_EQ(value_of("abc", 2), "02 01 00");         // not a number counts as 0
  EXPECT_EQ(value_of("2147483648", 2), "02 01 00");  // nor does one beyond 32 bits
  EXPECT_EQ(value_of("1.3.6.1", 6), "06 03 2B 06 01");
  EXPECT_EQ(value_of(std::string("a\0b", 3), 4), "04 03 61 00 62");
  EXPECT_EQ(value_of("xy", 0x44), "44 02 78 79");
  EXPECT_EQ(value_of("xy", 0x146), "46 02 78 79");  // low byte of the tag
  EXPECT_EQ(value_of("192.168.1.1", 0x40), "40 04 C0 A8 01 01");
  EXPECT_EQ(value_of("192.168.1", 0x40), "40 00");
  EXPECT_EQ(value_of("4294967295", 0x41), "41 05 00 FF FF FF FF");
  EXPECT_EQ(value_of("90000", 0x43), "43 03 01 5F 90");
}

// ---- list operations -------------------------------------------------------

TEST(TSNMPRecList, ResetAddDeleteFind) {
  TSNMPRec r;
  r.RequestId = 9;
  r.Version = 3;
  r.ErrorStatus = 2;
  r.AddVarBind("1.3.1", "a", 4);
  r.AddVarBind("1.3.2", "b", 4);
  r.AddVarBind("1.3.1", "c", 4);
  EXPECT_EQ(r.FindValue("1.3.1"), "a");  // the first of two
  EXPECT_EQ(r.FindValue("1.3.9"), "");
  EXPECT_EQ(r.FindValue("1.3.1."), "");  // no normalisation
  EXPECT_EQ(r.FindValue(".1.3.1"), "");

  r.DeleteVarBind(-1);
  r.DeleteVarBind(3);
  ASSERT_EQ(r.VarBinds().size(), 3u);
  r.DeleteVarBind(0);
  ASSERT_EQ(r.VarBinds().size(), 2u);
  EXPECT_EQ(r.VarBinds()[0].Value, "b");
  EXPECT_EQ(r.VarBinds()[1].Value, "c");
  EXPECT_EQ(r.FindValue("1.3.1"), "c");
  r.AddVarBind("1.3.3", "d", 2);  // reuses the deleted binding's storage
  ASSERT_EQ(r.VarBinds().size(), 3u);
  EXPECT_EQ(r.VarBinds()[2].Oid, "1.3.3");
  EXPECT_EQ(r.VarBinds()[2].Tag, 2);

  r.Reset();
  EXPECT_EQ(r.VarBinds().size(), 0u);
  EXPECT_EQ(r.Version, 0);
  EXPECT_EQ(r.ErrorStatus, 0);
  EXPECT_EQ(r.RequestId, 9);  // Reset keeps it
  EXPECT_EQ(r.FindValue("1.3.3"), "");
}

// ---- Decode ----------------------------------------------------------------

// The value text and tag of a reply holding one binding with this value.
std::pair<std::string, std::int32_t> Decoded(std::string_view value_hex) {
  TSNMPRec r;
  EXPECT_TRUE(r.Decode(Reply(Binding("2B 06 01", Bytes(value_hex)))).ok());
  EXPECT_EQ(r.VarBinds().size(), 1u);
  if (r.VarBinds().empty()) return {"<none>", -1};
  EXPECT_EQ(r.VarBinds()[0].Oid, "1.3.6.1");
  return {r.VarBinds()[0].Value, r.VarBinds()[0].Tag};
}

TEST(TSNMPRecDecode, ValueTexts) {
  const struct {
    const char* value_hex;
    std::string text;
    std::int32_t tag;
  } rows[] = {
      {"02 01 FF", "-1", 2},
      {"02 02 00 FF", "255", 2},
      {"02 00", "0", 2},
      {"02 01 80", "-128", 2},
      {"02 04 FF FF FF FF", "-1", 2},
      {"02 04 7F FF FF FF", "2147483647", 2},
      {"02 05 01 80 00 00 00", "-2147483648", 2},  // low 32 bits
      {"04 03 61 00 62", std::string("a\0b", 3), 4},
      {"04 00", "", 4},
      {"44 02 01 02", "\x01\x02", 0x44},
      {"06 08 2B 06 01 02 01 01 03 00", "1.3.6.1.2.1.1.3.0", 6},
      {"06 00", "", 6},
      {"40 04 C0 A8 01 01", "192.168.1.1", 0x40},
      {"40 03 0A 00 00", "10.0.0", 0x40},
      {"40 00", "", 0x40},
      {"41 05 00 FF FF FF FF", "4294967295", 0x41},
      {"41 08 FF FF FF FF FF FF FF FF", "-1", 0x41},
      {"41 09 01 00 00 00 00 00 00 00 07", "7", 0x41},  // low 64 bits
      {"41 00", "0", 0x41},
      {"42 05 00 FF FF FF FF", "4294967295", 0x42},
      {"42 05 00 80 00 00 00", "2147483648", 0x42},
      {"43 05 00 FF FF FF FF", "4294967295", 0x43},
      {"43 04 00 01 5F 90", "90000", 0x43},
      {"43 05 01 00 00 00 05", "5", 0x43},  // low 32 bits
      // Without the leading zero byte: two's complement, modulo 2^32.
      {"41 03 FA 41 20", "4294590752", 0x41},
      {"41 01 80", "4294967168", 0x41},
      {"41 04 FF FF FF FF", "4294967295", 0x41},
      {"42 03 FA 41 20", "4294590752", 0x42},
      {"42 01 80", "4294967168", 0x42},
      {"42 04 FF FF FF FF", "4294967295", 0x42},
      {"43 03 FA 41 20", "4294590752", 0x43},
      {"43 01 80", "4294967168", 0x43},
      {"43 04 FF FF FF FF", "4294967295", 0x43},
      {"05 00", "", 5},
      {"46 08 00 00 00 00 00 00 00 01", "", 0x46},
      {"80 00", "", 0x80},
      {"81 01 07", "", 0x81},
  };
  for (const auto& row : rows) {
    const auto [text, tag] = Decoded(row.value_hex);
    EXPECT_EQ(text, row.text) << row.value_hex;
    EXPECT_EQ(tag, row.tag) << row.value_hex;
  }
}

TEST(TSNMPRecDecode, Version2cReadsCounter64AndTellsExceptionsByTag) {
  const auto decoded = [](std::string_view value_hex) {
    std::string reply = Reply(Binding("2B 06 01", Bytes(value_hex)));
    reply[4] = 1;  // version 2c
    TSNMPRec r;
    EXPECT_TRUE(r.Decode(reply).ok());
    EXPECT_EQ(r.Version, 1);
    return std::pair{r.VarBinds()[0].Value, r.VarBinds()[0].Tag};
  };
  const struct {
    const char* value_hex;
    std::string text;
    std::int32_t tag;
  } rows[] = {
      {"46 05 00 FF FF FF FF", "4294967295", 0x46},
      {"46 05 01 00 00 00 00", "4294967296", 0x46},
      {"46 08 7F FF FF FF FF FF FF FF", "9223372036854775807", 0x46},
      {"46 09 00 FF FF FF FF FF FF FF FF", "18446744073709551615", 0x46},
      {"46 09 01 00 00 00 00 00 00 00 07", "7", 0x46},  // low 64 bits
      {"46 01 05", "5", 0x46},
      {"46 00", "0", 0x46},
      // Without the leading zero byte: two's complement, modulo 2^64.
      {"46 03 FA 41 20", "18446744073709175072", 0x46},
      {"46 01 80", "18446744073709551488", 0x46},
      {"46 04 FF FF FF FF", "18446744073709551615", 0x46},
      {"46 08 FF FF FF FF FF FF FF FF", "18446744073709551615", 0x46},
      {"80 00", "", 0x80},  // noSuchObject
      {"81 00", "", 0x81},  // noSuchInstance
      {"82 00", "", 0x82},  // endOfMibView
      {"41 05 00 FF FF FF FF", "4294967295", 0x41},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(decoded(row.value_hex), std::pair(row.text, row.tag)) << row.value_hex;
  }
  // A cut-off Counter64 is damage like any other: the empty text.
  EXPECT_EQ(decoded("46 08 00 01").first, "");
  // Version 1 has no Counter64.
  const auto [v1_text, v1_tag] = Decoded("46 05 01 00 00 00 00");
  EXPECT_EQ(v1_text, "");
  EXPECT_EQ(v1_tag, 0x46);
}

TEST(TSNMPRecDecode, HeaderFields) {
  TSNMPRec r;
  ASSERT_TRUE(r.Decode(Reply(Binding("2B", Bytes("05 00")), 2, 3)).ok());
  EXPECT_EQ(r.Version, 0);
  EXPECT_EQ(r.Community, "c");
  EXPECT_EQ(r.PduType, 0xA2);
  EXPECT_EQ(r.RequestId, 1);
  EXPECT_EQ(r.ErrorStatus, 2);
  EXPECT_EQ(r.ErrorIndex, 3);

  // Header items are not checked for their tag: their texts are read as numbers.
  const std::string odd =
      Element(0x30, Bytes("04 01 37 04 03 24 31 46") +
                        Element(0xA2, Bytes("04 01 78 02 01 FF 41 05 00 FF FF FF FF 30 00")));
  ASSERT_TRUE(r.Decode(odd).ok());
  EXPECT_EQ(r.Version, 7);  // "7"
  EXPECT_EQ(r.Community, "$1F");
  EXPECT_EQ(r.PduType, 0xA2);
  EXPECT_EQ(r.RequestId, 0);  // "x" is no number
  EXPECT_EQ(r.ErrorStatus, -1);
  EXPECT_EQ(r.ErrorIndex, 0);  // 4294967295 does not fit
}

TEST(TSNMPRecDecode, ReplyWithNullsAndEmptyList) {
  TSNMPRec r;
  ASSERT_TRUE(
      r.Decode(Reply(Binding("2B 01", Bytes("05 00")) + Binding("2B 02", Bytes("05 00")), 2, 1))
          .ok());
  ASSERT_EQ(r.VarBinds().size(), 2u);
  for (const TSNMPMib& b : r.VarBinds()) {
    EXPECT_EQ(b.Value, "");
    EXPECT_EQ(b.Tag, 5);
  }
  EXPECT_EQ(r.VarBinds()[1].Oid, "1.3.2");

  TSNMPRec empty;
  ASSERT_TRUE(empty.Decode(Reply("")).ok());
  EXPECT_EQ(empty.VarBinds().size(), 0u);
}

struct Row {
  const char* name;
  std::string datagram;
  bool result;
  std::vector<TSNMPMib> binds;
};

TEST(TSNMPRecDecode, MalformedInputs) {
  const std::string oid = Element(0x06, Bytes("2B 06 01"));
  const std::vector<Row> rows = {
      {"empty", "", false, {}},
      {"one byte", Bytes("30"), false, {}},
      {"first byte not constructed", Bytes("02 01 00"), false, {}},
      {"outer length beyond the datagram", Bytes("30 05 02 01 00 04"), false, {}},
      {"outer length cut off", Bytes("30 82 01"), false, {}},
      {"value length beyond the end",
       Reply(Bytes("30 09") + oid + Bytes("04 7F 41 42")),
       true,
       {{"1.3.6.1", "", 4}, {"", "", 5}}},
      {"five length bytes with leading zeros",
       Reply(Bytes("30 0E") + oid + Bytes("04 85 00 00 00 00 02 68 69")),
       true,
       {{"1.3.6.1", "hi", 4}}},
      {"nine non-zero length bytes",
       Reply(Bytes("30 10") + oid + Bytes("04 89 FF FF FF FF FF FF FF FF FF")),
       true,
       {{"1.3.6.1", "", 4}}},
      {"length field cut off by the end",
       Reply(Bytes("30 09") + oid + Bytes("04 84 00 00")),
       true,
       {{"1.3.6.1", "", 4}}},
      {"oid whose last byte continues",
       Reply(Bytes("30 07 06 03 2B 06 81 05 00")),
       true,
       {{"", "", 5}}},
      {"constructed value opens a nested item",
       Reply(Bytes("30 0A") + oid + Bytes("30 03 02 01 05")),
       true,
       {{"1.3.6.1", "$30", 0x30}, {"", "", 5}}},
      {"counter64 then an integer",
       Reply(Bytes("30 0F") + oid + Bytes("46 08 00 00 00 00 00 00 00 01") + Bytes("30 08") + oid +
             Bytes("02 01 FF")),
       true,
       {{"1.3.6.1", "", 0x46}, {"1.3.6.1", "-1", 2}}},
      {"value missing at the end", Reply(Bytes("30 05") + oid), true, {{"1.3.6.1", "", 5}}},
      {"indefinite length read as 0",
       Reply(Bytes("30 07") + oid + Bytes("04 80")),
       true,
       {{"1.3.6.1", "", 4}}},
      {"bytes after the outer content are ignored",
       Reply(Binding("2B", Bytes("02 01 01"))) + Bytes("30 05 06 01 2B 05 00"),
       true,
       {{"1.3", "1", 2}}},
  };
  for (const Row& row : rows) {
    TSNMPRec r;
    r.Community = "untouched";
    EXPECT_EQ(r.Decode(row.datagram).ok(), row.result) << row.name;
    if (!row.result) {
      EXPECT_EQ(r.Community, "untouched") << row.name;
      continue;
    }
    ASSERT_EQ(r.VarBinds().size(), row.binds.size()) << row.name;
    for (std::size_t i = 0; i < row.binds.size(); ++i) {
      EXPECT_EQ(r.VarBinds()[i].Oid, row.binds[i].Oid) << row.name << " #" << i;
      EXPECT_EQ(r.VarBinds()[i].Value, row.binds[i].Value) << row.name << " #" << i;
      EXPECT_EQ(r.VarBinds()[i].Tag, row.binds[i].Tag) << row.name << " #" << i;
    }
  }
}

TEST(TSNMPRecDecode, LongOuterLengthTrustedOnlyAsFarAsTheDatagram) {
  // The +2 size check lets a long-form outer length claim one byte more than
  // there is; the content is read up to the end of the datagram.
  const std::string inner = Reply(Binding("2B", Bytes("02 01 05"))).substr(2);
  const std::string datagram = Bytes("30 81") + char(inner.size() + 1) + inner;
  TSNMPRec r;
  ASSERT_TRUE(r.Decode(datagram).ok());
  ASSERT_EQ(r.VarBinds().size(), 1u);
  EXPECT_EQ(r.VarBinds()[0].Value, "5");
}

// A valid three-binding reply and where each binding ends in it.
struct Sample {
  std::string datagram;
  std::vector<std::size_t> binding_ends;
};

Sample ThreeBindingReply() {
  const std::string b1 = Binding(kIfInOctets2Hex, Bytes("41 05 00 FF FF FF FF"));
  const std::string b2 = Binding("2B 06 01 02 01 01 05 00", Element(0x04, "router"));
  const std::string b3 =
      Binding("2B 06 01 02 01 04 14 01 01 81 40 81 28 01 01", Bytes("40 04 C0 A8 01 01"));
  Sample s{Reply(b1 + b2 + b3), {}};
  const std::size_t list_start = s.datagram.size() - (b1.size() + b2.size() + b3.size());
  s.binding_ends = {list_start + b1.size(), list_start + b1.size() + b2.size(), s.datagram.size()};
  return s;
}

TEST(TSNMPRecDecode, EveryTruncatedPrefixIsRejectedUntouched) {
  const Sample s = ThreeBindingReply();
  for (std::size_t k = 0; k < s.datagram.size(); ++k) {
    TSNMPRec r;
    r.AddVarBind("keep", "me", 4);
    EXPECT_FALSE(r.Decode(s.datagram.substr(0, k)).ok()) << k;
    EXPECT_EQ(r.VarBinds().size(), 1u) << k;
  }
}

TEST(TSNMPRecDecode, EveryPrefixWithAMatchingOuterLengthKeepsItsWholeBindings) {
  // An outer length that agrees with a cut datagram passes the checks; the
  // bindings wholly inside come out exactly, the cut one with shorter texts,
  // and nothing is read beyond the cut.
  const Sample s = ThreeBindingReply();
  TSNMPRec full;
  ASSERT_TRUE(full.Decode(s.datagram).ok());
  ASSERT_EQ(full.VarBinds().size(), 3u);
  EXPECT_EQ(full.VarBinds()[0].Value, "4294967295");
  EXPECT_EQ(full.VarBinds()[1].Value, "router");
  EXPECT_EQ(full.VarBinds()[2].Oid, "1.3.6.1.2.1.4.20.1.1.192.168.1.1");
  EXPECT_EQ(full.VarBinds()[2].Value, "192.168.1.1");

  ASSERT_LT(s.datagram.size(), 130u);  // a one-byte outer length to rewrite
  for (std::size_t k = 2; k < s.datagram.size(); ++k) {
    std::string cut = s.datagram.substr(0, k);
    cut[1] = static_cast<char>(k - 2);
    TSNMPRec r;
    ASSERT_TRUE(r.Decode(cut).ok()) << k;
    std::size_t whole = 0;
    while (whole < 3 && s.binding_ends[whole] <= k) ++whole;
    ASSERT_GE(r.VarBinds().size(), whole) << k;
    for (std::size_t i = 0; i < whole; ++i) {
      EXPECT_EQ(r.VarBinds()[i].Oid, full.VarBinds()[i].Oid) << k;
      EXPECT_EQ(r.VarBinds()[i].Value, full.VarBinds()[i].Value) << k;
    }
    for (const TSNMPMib& b : r.VarBinds()) {
      EXPECT_LE(b.Value.size(), 15u) << k;
      EXPECT_LE(b.Oid.size(), 32u) << k;
    }
  }
}

TEST(TSNMPRecDecode, EncodedRequestsDecodeBack) {
  TSNMPRec r = Request(0xA3, std::string("com\0x", 5));
  r.RequestId = -5;
  r.AddVarBind("1.3.6.1.4.1.300", "-42", 2);
  r.AddVarBind("1.3.6", std::string(200, 'z'), 4);
  r.AddVarBind("2.999.0", "1.3.6.1", 6);
  r.AddVarBind("1.3.1", "10.0.0.1", 0x40);
  r.AddVarBind("1.3.2", "4294967295", 0x41);
  r.AddVarBind("1.3.3", "12345", 0x43);
  TSNMPRec back;
  ASSERT_TRUE(back.Decode(r.Encode()).ok());
  EXPECT_EQ(back.Community, r.Community);
  EXPECT_EQ(back.PduType, 0xA3);
  EXPECT_EQ(back.RequestId, -5);
  ASSERT_EQ(back.VarBinds().size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(back.VarBinds()[i].Oid, r.VarBinds()[i].Oid) << i;
    EXPECT_EQ(back.VarBinds()[i].Value, r.VarBinds()[i].Value) << i;
    EXPECT_EQ(back.VarBinds()[i].Tag, r.VarBinds()[i].Tag) << i;
  }
}

}  // namespace
}  // namespace plovex
