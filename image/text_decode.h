#pragma once
// The picture's texts are byte strings from the agent and the settings. They
// are read as UTF-8 when the whole text is valid UTF-8 (shortest forms, no
// surrogates, at most U+10FFFF) and otherwise byte by byte as Latin-1, which
// is what an old agent's 8-bit description most likely is. Never fails.
#include <cstddef>
#include <string>
#include <string_view>

namespace plovex {

std::u32string DecodeText(std::string_view bytes);

// One character of UTF-8 text: its code point and byte count. `length` is 0
// when no valid sequence (by the rules above) starts at that position.
struct Utf8Char {
  char32_t code_point = 0;
  std::size_t length = 0;
};
Utf8Char DecodeUtf8At(std::string_view bytes, std::size_t i);

}  // namespace plovex
