#include "base/utf8.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(Utf8, EveryCodePointRoundTrips) {
  for (char32_t cp = 0; cp <= 0x10FFFF; cp += (cp < 0x800 ? 1 : 97)) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string bytes;
    AppendUtf8(bytes, cp);
    const Utf8Char c = DecodeUtf8At(bytes, 0);
    ASSERT_EQ(c.length, bytes.size()) << std::hex << static_cast<std::uint32_t>(cp);
    ASSERT_TRUE(c.code_point == cp);
  }
}

TEST(Utf8, RejectsWhatIsNotStrictUtf8) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"lone continuation", "\x80"},
           {"overlong slash", "\xC0\xAF"},
           {"overlong three bytes", "\xE0\x80\xAF"},
           {"surrogate", "\xED\xA0\x80"},
           {"above U+10FFFF", "\xF4\x90\x80\x80"},
           {"truncated", "\xE2\x82"},
           {"bad continuation", "\xE2\x28\xA1"},
           {"five-byte lead", "\xF8\x88\x80\x80\x80"},
       }) {
    EXPECT_EQ(DecodeUtf8At(c.bytes, 0).length, 0u) << c.what;
  }
  EXPECT_EQ(DecodeUtf8At("a", 1).length, 0u) << "past the end";
  const Utf8Char euro = DecodeUtf8At("x\xE2\x82\xAC", 1);
  EXPECT_TRUE(euro.code_point == U'\u20AC');
  EXPECT_EQ(euro.length, 3u);
}

}  // namespace
}  // namespace plovex
