#include "settings/hive_text_reader.h"

#include <cstdint>
#include <string>
#include <vector>

#include "base/hex_digits.h"
#include "base/little_endian.h"
#include "settings/hive_format.h"
#include "settings/utf16.h"

namespace plovex {
namespace {

using hive_format::kRegBinary;
using hive_format::kRegDword;
using hive_format::kRegSz;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameRegistryName(s.substr(0, prefix.size()), prefix);
}

Status Malformed(const char* what) { return Status::Corruption(what); }

// A quoted name or string at s[0] == '"'. On success consumes it from s.
Result<std::string> ReadQuoted(std::string_view& s) {
  std::string out;
  for (std::size_t i = 1; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      out += s[++i];
    } else {
      out += c;
    }
  }
  return Malformed("no closing quote");
}

// "aa,bb,..." (possibly empty) into bytes.
Result<std::string> ReadHexList(std::string_view s) {
  std::string out;
  s = TrimBlanks(s);
  if (s.empty()) return out;
  while (true) {
    std::size_t comma = s.find(',');
    std::string_view item = TrimBlanks(s.substr(0, comma));
    if (item.empty() || item.size() > 2) return Malformed("not a byte");
    int byte = 0;
    for (char c : item) {
      const int d = HexDigitValue(c);
      if (d < 0) return Malformed("not a hexadecimal digit");
      byte = byte * 16 + d;
    }
    out += static_cast<char>(byte);
    if (comma == std::string_view::npos) return out;
    s.remove_prefix(comma + 1);
  }
}

// Text of a REG_SZ given as hex(1): UTF-16LE with its terminator, as the
// registry editor writes it. Bytes that are not UTF-16 stay as they are.
std::string TextOfHexString(const std::string& bytes) {
  Result<std::string> text = Utf16LeToUtf8(bytes);
  if (!text) return bytes;
  if (!text->empty() && text->back() == '\0') text->pop_back();
  return *text;
}

class Parser {
 public:
  explicit Parser(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      start = end + 1;
    }
  }

  Result<HiveDocument> Run() {
    bool header_seen = false;
    for (next_ = 0; next_ < lines_.size();) {
      line_number_ = next_ + 1;
      std::string_view line = TrimBlanks(lines_[next_++]);
      if (line.empty() || line.front() == ';') continue;
      if (!header_seen) {
        if (line != hive_format::kHeader && line != hive_format::kHeaderRegedit4) {
          return Fail("not a registry file (no header line)");
        }
        header_seen = true;
        continue;
      }
      if (line.front() == '[') {
        if (!ReadKeyLine(line)) return Fail("malformed key line");
      } else if (line.front() == '"' || line.front() == '@') {
        if (!ReadValueLine(line)) return Fail("malformed value line");
      } else {
        return Fail("unrecognised line");
      }
    }
    if (!header_seen) return Status::Corruption("an empty file (no header line)");
    return std::move(doc_);
  }

 private:
  Status Fail(const char* why) const {
    return Status::Corruption(why).WithContext("line " + std::to_string(line_number_));
  }

  bool ReadKeyLine(std::string_view line) {
    if (line.back() != ']') return false;
    std::string_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path.front() == '-') {
      key_ = nullptr;
      skipping_ = true;
      return true;
    }
    if (path.empty()) return false;
    key_ = &doc_.OpenOrCreateKey(path);
    skipping_ = false;
    return true;
  }

  bool ReadValueLine(std::string_view line) {
    if (key_ == nullptr && !skipping_) return false;
    HiveValue value;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      Result<std::string> name = ReadQuoted(line);
      if (!name) return false;
      value.name = *std::move(name);
    }
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '=') return false;
    line = TrimBlanks(line.substr(1));

    if (line == "-") return true;  // a deletion entry: nothing to keep
    if (!line.empty() && line.front() == '"') {
      Result<std::string> text = ReadQuoted(line);
      if (!text || !TrimBlanks(line).empty()) return false;
      value.type = kRegSz;
      value.data = *std::move(text);
    } else if (StartsWithNoCase(line, "dword:")) {
      std::string_view digits = line.substr(6);
      if (digits.empty() || digits.size() > 8) return false;
      std::uint32_t v = 0;
      for (char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0) return false;
        v = v << 4 | static_cast<std::uint32_t>(d);
      }
      value.type = kRegDword;
      AppendLittleEndian(value.data, v, 4);
    } else if (StartsWithNoCase(line, "hex")) {
      Result<HiveValue> hex = ReadHexValue(line);
      if (!hex) return false;
      value.type = hex->type;
      value.data = std::move(hex->data);
    } else {
      return false;
    }
    if (key_ != nullptr) key_->Set(std::move(value));
    return true;
  }

  // "hex:..." or "hex(N):...", continued over lines that end in "\": the
  // value's type and data.
  Result<HiveValue> ReadHexValue(std::string_view line) {
    line.remove_prefix(3);
    HiveValue value;
    value.type = kRegBinary;
    if (!line.empty() && line.front() == '(') {
      const std::size_t close = line.find(')');
      if (close == std::string_view::npos || close == 1 || close > 9) {
        return Malformed("no type in hex(N)");
      }
      std::uint32_t type = 0;
      for (char c : line.substr(1, close - 1)) {
        const int d = HexDigitValue(c);
        if (d < 0) return Malformed("a type that is not hexadecimal");
        type = type << 4 | static_cast<std::uint32_t>(d);
      }
      value.type = type;
      line.remove_prefix(close + 1);
    }
    if (line.empty() || line.front() != ':') return Malformed("no colon after hex");
    line.remove_prefix(1);

    std::string list;
    while (!line.empty() && line.back() == '\\') {
      list += line.substr(0, line.size() - 1);
      if (next_ >= lines_.size()) return Malformed("continued past the end");
      line = TrimBlanks(lines_[next_++]);
    }
    list += line;
    Result<std::string> bytes = ReadHexList(list);
    if (!bytes) return bytes.status();
    value.data = value.type == kRegSz ? TextOfHexString(*bytes) : *std::move(bytes);
    return value;
  }

  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  std::size_t line_number_ = 0;
  HiveDocument doc_;
  HiveKey* key_ = nullptr;
  bool skipping_ = false;  // inside a "[-KEY]" deletion entry
};

}  // namespace

Result<HiveDocument> ReadHiveText(std::string_view bytes) {
  std::string decoded;
  std::string_view text = bytes;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    Result<std::string> utf8 = Utf16LeToUtf8(bytes.substr(2));
    if (!utf8) return Status::Corruption("broken UTF-16 text");
    decoded = *std::move(utf8);
    text = decoded;
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  }
  return Parser(text).Run();
}

}  // namespace plovex
