#include "settings/hive_text_writer.h"

#include <cstdio>

#include "base/hex_digits.h"
#include "base/little_endian.h"
#include "settings/hive_format.h"
#include "settings/utf16.h"

namespace plovex {
namespace {

using hive_format::kRegBinary;
using hive_format::kRegDword;
using hive_format::kRegSz;

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

void AppendHexList(std::string& out, std::size_t line_start, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      out += ',';
      if (out.size() - line_start + 3 > hive_format::kWrapColumn) {
        out += "\\\n  ";
        line_start = out.size() - 2;
      }
    }
    AppendHexByte(out, static_cast<unsigned char>(bytes[i]), HexCase::kLower);
  }
}

bool FitsOnAQuotedLine(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

void AppendValue(std::string& out, const HiveValue& value) {
  const std::size_t line_start = out.size();
  if (value.name.empty()) {
    out += '@';
  } else {
    AppendQuoted(out, value.name);
  }
  out += '=';
  if (value.type == kRegSz && FitsOnAQuotedLine(value.data)) {
    AppendQuoted(out, value.data);
  } else if (value.type == kRegDword && value.data.size() == 4) {
    const auto v = static_cast<std::uint32_t>(ReadLittleEndian(value.data));
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", v);
    out += digits;
  } else {
    std::string bytes = value.data;
    if (value.type == kRegBinary) {
      out += "hex:";
    } else {
      char prefix[24];
      std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
      out += prefix;
      if (value.type == kRegSz) bytes = Utf8ToUtf16Le(value.data) + std::string(2, '\0');
    }
    AppendHexList(out, line_start, bytes);
  }
  out += '\n';
}

}  // namespace

std::string WriteHiveText(const HiveDocument& doc) {
  std::string out(hive_format::kHeader);
  out += "\n\n";
  for (const HiveKey& key : doc.keys()) {
    out += '[';
    out += key.path();
    out += "]\n";
    for (const HiveValue& value : key.values()) AppendValue(out, value);
    out += '\n';
  }
  return out;
}

}  // namespace plovex
