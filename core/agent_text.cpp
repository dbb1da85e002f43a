#include "core/agent_text.h"

#include "base/hex_digits.h"
#include "base/utf8.h"

namespace plovex {

namespace {

void AppendHexEscape(unsigned char b, std::string& out) {
  out += "\\x";
  AppendHexByte(out, b, HexCase::kLower);
}

}  // namespace

std::string QuotedAgentText(std::string_view value) {
  std::string out;
  out.reserve(value.size() < kMaxQuotedBytes ? value.size() : kMaxQuotedBytes + 3);
  std::size_t i = 0;
  while (i < value.size()) {
    const Utf8Char c = DecodeUtf8At(value, i);
    const std::size_t length = c.length == 0 ? 1 : c.length;
    if (i + length > kMaxQuotedBytes) break;
    const unsigned char b = static_cast<unsigned char>(value[i]);
    if (c.length == 0 || (c.code_point >= 0x80 && c.code_point <= 0x9F)) {
      for (std::size_t k = 0; k < length; ++k) AppendHexEscape(value[i + k], out);
    } else if (b == '\\') {
      out += "\\\\";
    } else if (b == '\0') {
      out += "\\0";
    } else if (b == '\t') {
      out += "\\t";
    } else if (b == '\n') {
      out += "\\n";
    } else if (b == '\r') {
      out += "\\r";
    } else if (b < 0x20 || b == 0x7F) {
      AppendHexEscape(b, out);
    } else {
      out.append(value, i, length);
    }
    i += length;
  }
  if (i < value.size()) out += "...";
  return out;
}

}  // namespace plovex
