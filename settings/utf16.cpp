#include "settings/utf16.h"

#include <cstdint>

#include "base/little_endian.h"
#include "base/utf8.h"

namespace plovex {
namespace {

void AppendUnit(std::string& out, std::uint32_t unit) { AppendLittleEndian(out, unit, 2); }

Status UnpairedSurrogate(std::size_t offset) {
  return Status::Corruption("UTF-16 text with an unpaired surrogate at byte " +
                            std::to_string(offset));
}

}  // namespace

Result<std::string> Utf16LeToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return Status::Corruption("UTF-16 text of an odd number of bytes");
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&](std::size_t k) {
    return static_cast<std::uint32_t>(ReadLittleEndian(bytes.substr(k, 2)));
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    std::uint32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      const std::uint32_t low = i + 4 <= bytes.size() ? unit(i + 2) : 0;
      if (low < 0xDC00 || low > 0xDFFF) return UnpairedSurrogate(i);
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      return UnpairedSurrogate(i);
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8At(text, i);
    std::uint32_t cp = c.code_point;
    std::size_t len = c.length;
    if (len == 0) {
      cp = static_cast<unsigned char>(text[i]);
      len = 1;
    }
    if (cp >= 0x10000) {
      AppendUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
      AppendUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      AppendUnit(out, cp);
    }
    i += len;
  }
  return out;
}

}  // namespace plovex
