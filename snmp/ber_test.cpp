#include <gtest/gtest.h>

#include <climits>

#include "snmp/ber_reader.h"
#include "snmp/ber_writer.h"
#include "snmp/testing/test_bytes.h"

namespace plovex::ber {
namespace {

using plovex::testing::Bytes;
using plovex::testing::Hex;

std::string Header(std::uint8_t tag, std::size_t length) {
  std::string out(LengthFieldSize(length) + 1, '\0');
  EXPECT_EQ(WriteHeader(out.data(), tag, length), out.data() + out.size());
  return Hex(out);
}

std::string IntegerElement(std::int32_t v) {
  std::string content(IntegerContentSize(v), '\0');
  EXPECT_EQ(WriteIntegerContent(content.data(), v), content.data() + content.size());
  return Header(0x02, content.size()) + " " + Hex(content);
}

std::string Oid(std::string_view text) {
  std::string out;
  AppendOidContent(text, out);
  return Hex(out);
}

std::string OidText(std::string_view hex) {
  const std::string content = Bytes(hex);
  std::string out;
  static_cast<void>(AppendOidText(content.data(), content.data() + content.size(), out));
  return out;
}

TEST(BerWriter, LengthTakesTheShortestForm) {
  EXPECT_EQ(Header(0x30, 0), "30 00");
  EXPECT_EQ(Header(0x30, 127), "30 7F");
  EXPECT_EQ(Header(0x30, 128), "30 81 80");
  EXPECT_EQ(Header(0x04, 200), "04 81 C8");
  EXPECT_EQ(Header(0x04, 255), "04 81 FF");
  EXPECT_EQ(Header(0x04, 300), "04 82 01 2C");
  EXPECT_EQ(Header(0x04, 65536), "04 83 01 00 00");
}

TEST(BerWriter, IntegersInTheFewestTwosComplementBytes) {
  EXPECT_EQ(IntegerElement(0), "02 01 00");
  EXPECT_EQ(IntegerElement(1), "02 01 01");
  EXPECT_EQ(IntegerElement(127), "02 01 7F");
  EXPECT_EQ(IntegerElement(128), "02 02 00 80");
  EXPECT_EQ(IntegerElement(256), "02 02 01 00");
  EXPECT_EQ(IntegerElement(INT32_MAX), "02 04 7F FF FF FF");
  EXPECT_EQ(IntegerElement(-1), "02 01 FF");
  EXPECT_EQ(IntegerElement(-128), "02 01 80");
  EXPECT_EQ(IntegerElement(-129), "02 02 FF 7F");
  EXPECT_EQ(IntegerElement(INT32_MIN), "02 04 80 00 00 00");
}

TEST(BerWriter, OidTextsAndTheirQuirks) {
  EXPECT_EQ(Oid("1.3.6.1.2.1.2.2.1.10.2"), "2B 06 01 02 01 02 02 01 0A 02");
  EXPECT_EQ(Oid("1.3.6.1.4.1.300"), "2B 06 01 04 01 82 2C");
  EXPECT_EQ(Oid(".1.3.6"), "01 03 06");  // the leading dot is an arc 0
  EXPECT_EQ(Oid("1.3.6.1.2.1.1.3.0."), Oid("1.3.6.1.2.1.1.3.0"));
  EXPECT_EQ(Oid("1.3.a.1"), "2B 00 01");  // not a number: 0
  EXPECT_EQ(Oid("1..3"), "28 03");        // empty arc: 0
  EXPECT_EQ(Oid("1.3. 6"), "2B 00");      // a blank makes the arc no number
  EXPECT_EQ(Oid("1"), "28");              // a single arc takes y = 0
  EXPECT_EQ(Oid(""), "");
  EXPECT_EQ(Oid("2.999"), "88 37");
  EXPECT_EQ(Oid("1.3.2147483647"), "2B 87 FF FF FF 7F");
  EXPECT_EQ(Oid("1.3.2147483648"), "2B 00");      // beyond signed 32 bits: not a number
  EXPECT_EQ(Oid("1.3.-1"), "2B 8F FF FF FF 7F");  // negative arcs: their 32-bit pattern
  EXPECT_EQ(Oid("1.3.0"), "2B 00");
}

TEST(BerReader, OidContentToText) {
  EXPECT_EQ(OidText("2B 06 01 02 01 01 03 00"), "1.3.6.1.2.1.1.3.0");
  EXPECT_EQ(OidText(""), "");
  EXPECT_EQ(OidText("00"), "0.0");
  EXPECT_EQ(OidText("27"), "0.39");
  EXPECT_EQ(OidText("28"), "1.0");
  EXPECT_EQ(OidText("4F"), "1.39");
  EXPECT_EQ(OidText("50"), "2.0");
  EXPECT_EQ(OidText("88 37 01"), "2.999.1");  // a long first sub-identifier
  EXPECT_EQ(OidText("2B 82 2C"), "1.3.300");
  EXPECT_EQ(OidText("2B 80 80 05"), "1.3.5");  // redundant leading groups
  EXPECT_EQ(OidText("2B 8F FF FF FF 7F"), "1.3.4294967295");
  EXPECT_EQ(OidText("2B 9F FF FF FF 7F"), "1.3.4294967295");  // kept in 32 bits
  EXPECT_EQ(OidText("2B 06 81"), "");                         // last byte continues: damaged
  EXPECT_EQ(OidText("81"), "");
  std::string out;
  EXPECT_EQ(AppendOidText("\x81", "\x81" + 1, out).code(), StatusCode::kCorruption);
}

TEST(BerReader, ItemsFollowTheReadingRules) {
  using Kind = Item::Kind;
  {
    const std::string d = Bytes("30 03 02 01 07 04");
    BerReader r(d.data(), d.data() + d.size());
    const Item seq = r.Next();
    EXPECT_EQ(seq.kind, Kind::kConstructed);
    EXPECT_EQ(r.position(), d.data() + 2);  // stays on the first content byte
    const Item integer = r.Next();
    EXPECT_EQ(integer.kind, Kind::kPrimitive);
    EXPECT_EQ(integer.length, 1u);
    const Item absent = r.Next();  // one byte left
    EXPECT_EQ(absent.kind, Kind::kAbsent);
    EXPECT_EQ(absent.tag, 5);
    EXPECT_EQ(r.position(), d.data() + 5);
  }
  // One item each: its kind, and where the read position is left.
  const struct {
    const char* hex;
    const char* what;
    Kind kind;
    std::size_t position;
    const char* content;  // for a primitive item
  } rows[] = {
      {"04 05 61 62", "content runs past the end", Kind::kMalformed, 2, nullptr},
      {"04 84 00 00", "length field cut off", Kind::kMalformed, 4, nullptr},
      {"04 89 00 00 00 00 00 00 00 00 02 61 62", "9 length bytes", Kind::kPrimitive, 13, "ab"},
      {"04 89 01 00 00 00 00 00 00 00 02 61 62", "beyond 2^64", Kind::kMalformed, 11, nullptr},
      {"04 80 61", "indefinite form read as length 0", Kind::kPrimitive, 2, ""},
  };
  for (const auto& row : rows) {
    const std::string d = Bytes(row.hex);
    BerReader r(d.data(), d.data() + d.size());
    const Item item = r.Next();
    EXPECT_EQ(item.kind, row.kind) << row.what;
    EXPECT_EQ(item.tag, 4) << row.what;
    EXPECT_EQ(r.position(), d.data() + row.position) << row.what;
    if (row.content != nullptr) {
      EXPECT_EQ(std::string(item.content, item.length), row.content) << row.what;
    }
  }
}

TEST(BerReader, HeaderNumbers) {
  EXPECT_EQ(HeaderNumber("$A2"), 162);
  EXPECT_EQ(HeaderNumber("$a2"), 162);
  EXPECT_EQ(HeaderNumber("$FFFFFFFF"), -1);
  EXPECT_EQ(HeaderNumber("$100000000"), 0);
  EXPECT_EQ(HeaderNumber("$"), 0);
  EXPECT_EQ(HeaderNumber("-7"), -7);
  EXPECT_EQ(HeaderNumber("2147483647"), INT32_MAX);
  EXPECT_EQ(HeaderNumber("2147483648"), 0);
  EXPECT_EQ(HeaderNumber("x10"), 0);
  EXPECT_EQ(HeaderNumber(""), 0);
  EXPECT_EQ(HeaderNumber("12a"), 0);
}

}  // namespace
}  // namespace plovex::ber
