#pragma once
// UTF-8, strictly: shortest forms only, no surrogates, nothing above U+10FFFF.
// Decoding takes one character at a time, so that callers decide what an
// invalid byte becomes (Latin-1, an escape); encoding appends one code point.
#include <cstddef>
#include <string>
#include <string_view>

namespace plovex {

// One character of UTF-8 text: its code point and byte count. `length` is 0
// when no valid sequence starts at that position (or it lies past the end).
struct Utf8Char {
  char32_t code_point = 0;
  std::size_t length = 0;
};
Utf8Char DecodeUtf8At(std::string_view bytes, std::size_t i);

// Appends the UTF-8 form of a code point up to U+10FFFF (a surrogate is
// written as its three bytes; callers that read UTF-16 never pass one).
void AppendUtf8(std::string& out, char32_t code_point);

}  // namespace plovex
