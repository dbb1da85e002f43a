#include "image/text_decode.h"

#include <optional>

namespace plovex {

Utf8Char DecodeUtf8At(std::string_view bytes, std::size_t i) {
  if (i >= bytes.size()) return {};
  const unsigned char b = static_cast<unsigned char>(bytes[i]);
  if (b < 0x80) return {b, 1};
  std::size_t extra;
  char32_t cp, min;
  if ((b & 0xE0) == 0xC0) {
    extra = 1, cp = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2, cp = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3, cp = b & 0x07, min = 0x10000;
  } else {
    return {};
  }
  if (bytes.size() - i <= extra) return {};
  for (std::size_t k = 1; k <= extra; ++k) {
    const unsigned char c = static_cast<unsigned char>(bytes[i + k]);
    if ((c & 0xC0) != 0x80) return {};
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
  return {cp, extra + 1};
}

namespace {

std::optional<std::u32string> DecodeUtf8(std::string_view bytes) {
  std::u32string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const Utf8Char c = DecodeUtf8At(bytes, i);
    if (c.length == 0) return std::nullopt;
    out.push_back(c.code_point);
    i += c.length;
  }
  return out;
}

}  // namespace

std::u32string DecodeText(std::string_view bytes) {
  if (auto utf8 = DecodeUtf8(bytes)) return *std::move(utf8);
  std::u32string latin1;
  latin1.reserve(bytes.size());
  for (char c : bytes) latin1.push_back(static_cast<unsigned char>(c));
  return latin1;
}

}  // namespace plovex
