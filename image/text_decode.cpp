#include "image/text_decode.h"

#include <optional>

namespace plovex {

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
