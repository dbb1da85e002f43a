#pragma once
// The colour text form of the settings: one of 52 colour names ("clGreen",
// "clBtnFace", ...) when the colour has one, else "$" and 8 upper-case
// hexadecimal digits of the 32-bit value ("$0000A000").
#include <span>
#include <string>
#include <string_view>

#include "base/status.h"
#include "image/color.h"

namespace plovex {

struct ColorName {
  const char* name;
  Color value;
};

// The 52 names with their values (all values differ).
std::span<const ColorName> ColorNames();

std::string ColorToText(Color color);

// A name (any letter case), else the text-to-integer conversion of the text
// ("$0000A000", "40960"); anything else, also empty text, fails with
// "'%s' is not a valid integer value": TextToColor throws it as PlovexError,
// TryTextToColor returns it.
Color TextToColor(std::string_view text);
Result<Color> TryTextToColor(std::string_view text);

}  // namespace plovex
