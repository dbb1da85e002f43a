#include "settings/color_text.h"

#include <gtest/gtest.h>

#include <set>

#include "core/plovex_error.h"

namespace plovex {
namespace {

TEST(ColorText, FiftyTwoDistinctNamesEachRoundTrip) {
  const auto names = ColorNames();
  ASSERT_EQ(names.size(), 52u);
  std::set<Color> values;
  std::set<std::string> lower_names;
  for (const ColorName& entry : names) {
    values.insert(entry.value);
    std::string lower = entry.name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    lower_names.insert(lower);
    EXPECT_EQ(ColorToText(entry.value), entry.name);
    EXPECT_EQ(TextToColor(entry.name), entry.value);
    EXPECT_EQ(TextToColor(lower), entry.value);
  }
  EXPECT_EQ(values.size(), 52u);
  EXPECT_EQ(lower_names.size(), 52u);
}

TEST(ColorText, NamesWhereOneExistsElseDollarAndEightDigits) {
  EXPECT_EQ(ColorToText(0x00FFFFFF), "clWhite");
  EXPECT_EQ(ColorToText(0x00C0C0C0), "clSilver");
  EXPECT_EQ(ColorToText(0x00008000), "clGreen");
  EXPECT_EQ(ColorToText(0x00FF0000), "clBlue");
  EXPECT_EQ(ColorToText(0x8000000F), "clBtnFace");
  EXPECT_EQ(ColorToText(0x1FFFFFFF), "clNone");
  EXPECT_EQ(ColorToText(0x0000A000), "$0000A000");
  EXPECT_EQ(ColorToText(0x00FF4040), "$00FF4040");
  EXPECT_EQ(ColorToText(0x00abcdef), "$00ABCDEF");
  EXPECT_EQ(ColorToText(0xFFFFFFFF), "$FFFFFFFF");
}

TEST(ColorText, ReadsNamesAnyCaseAndIntegerTexts) {
  EXPECT_EQ(TextToColor("clgreen"), 0x00008000u);
  EXPECT_EQ(TextToColor("CLWHITE"), 0x00FFFFFFu);
  EXPECT_EQ(TextToColor("40960"), 0x0000A000u);
  EXPECT_EQ(TextToColor("$0000A000"), 0x0000A000u);
  EXPECT_EQ(TextToColor("$80000012"), 0x80000012u);
  EXPECT_EQ(TextToColor("-1"), 0xFFFFFFFFu);
  for (const char* bad : {"", "clGreenish", "green", " clGreen", "$1000000000"}) {
    EXPECT_FALSE(TryTextToColor(bad).ok()) << bad;
    try {
      TextToColor(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const PlovexError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
}

}  // namespace
}  // namespace plovex
