#include "core/agent_text.h"

#include <gtest/gtest.h>

#include "core/int_text.h"

namespace plovex {
namespace {

using namespace std::string_literals;

TEST(QuotedAgentText, ControlBytesBecomeVisibleEscapes) {
  const struct {
    std::string in, out;
  } rows[] = {
      {"Lab rack 7", "Lab rack 7"},
      {"\x1b[2J\x1b]0;owned\x07", "\\x1b[2J\\x1b]0;owned\\x07"},
      {"1\r\n2\t3", "1\\r\\n2\\t3"},
      {"before\0after"s, "before\\0after"},  // nothing after the zero byte is lost
      {"a\\x1b", "a\\\\x1b"},                // a literal backslash cannot fake an escape
      {"\x7f", "\\x7f"},
      {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},  // UTF-8 stays readable
      {"\xc2\x9b"
       "2J",
       "\\xc2\\x9b2J"},  // C1 CSI
      {"\xff\xfe"
       "x",
       "\\xff\\xfex"},             // not UTF-8
      {"\xe2\x82", "\\xe2\\x82"},  // cut-off sequence
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(QuotedAgentText(row.in), row.out) << row.out;
}

TEST(QuotedAgentText, LongValuesAreCutAt200Bytes) {
  EXPECT_EQ(QuotedAgentText(std::string(200, 'a')), std::string(200, 'a'));
  EXPECT_EQ(QuotedAgentText(std::string(201, 'a')), std::string(200, 'a') + "...");
  const std::string big = std::string(65536, '\x1b');
  const std::string quoted = QuotedAgentText(big);
  EXPECT_EQ(quoted, [] {
    std::string s;
    for (int i = 0; i < 200; ++i) s += "\\x1b";
    return s + "...";
  }());
  // Never inside a character: a two-byte letter across the limit is left out.
  const std::string letters = std::string(199, 'a') + "\xc3\xa9";
  EXPECT_EQ(QuotedAgentText(letters), std::string(199, 'a') + "...");
  EXPECT_EQ(NotAValidIntegerMessage(QuotedAgentText("\n")), "'\\n' is not a valid integer value");
}

}  // namespace
}  // namespace plovex
