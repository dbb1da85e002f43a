#pragma once
// BerCursor: strict reading of a BER structure whose layout is fixed, as the
// envelope of a version 3 message is. Where the version 1 decoder reads
// leniently item by item, a cursor takes one expected element after the
// other and fails (kCorruption, naming the tag expected) at the first element
// that has another tag, runs past the range it was given, or is cut off. It never looks outside
// [begin, end): every element is read by BerReader, and the content handed
// out lies inside the range.
//
// BerAppend* are the matching writers: whole elements appended to a string.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "base/big_endian.h"
#include "base/hex_digits.h"
#include "base/status.h"
#include "snmp/ber_reader.h"
#include "snmp/ber_writer.h"

namespace plovex::ber {

class BerCursor {
 public:
  explicit BerCursor(std::string_view range)
      : p_(range.data()), end_(range.data() + range.size()) {}

  // The content of the next element when its tag is `tag`; the cursor moves
  // past the whole element (a constructed one included).
  Result<std::string_view> Take(std::uint8_t tag) {
    BerReader reader(p_, end_);
    const Item item = reader.Next();
    if (item.tag != tag ||
        (item.kind != Item::Kind::kPrimitive && item.kind != Item::Kind::kConstructed)) {
      std::string message = "no whole element of tag 0x";
      AppendHexByte(message, tag, HexCase::kUpper);
      return Status::Corruption(std::move(message));
    }
    p_ = item.content + item.length;
    return std::string_view(item.content, item.length);
  }

  // An INTEGER of one to four content bytes, as a signed 32-bit number.
  Result<std::int32_t> TakeInteger() {
    const Result<std::string_view> content = Take(kInteger);
    if (!content) return content.status();
    if (content->empty() || content->size() > 4) {
      return Status::Corruption("an INTEGER of " + std::to_string(content->size()) + " bytes");
    }
    return ReadBigEndianSigned32(*content);
  }

  // An INTEGER in 0 .. 2^31 - 1, the range of the header's numbers.
  Result<std::int32_t> TakeNonNegative() {
    const Result<std::int32_t> v = TakeInteger();
    if (v.ok() && *v < 0) return Status::Corruption("a negative INTEGER");
    return v;
  }

  // The tag of the next element without taking it; nullopt at the end (not
  // a failure: a caller may take what it finds).
  std::optional<std::uint8_t> PeekTag() const {
    if (p_ == end_) return std::nullopt;
    return static_cast<std::uint8_t>(*p_);
  }

  bool AtEnd() const { return p_ == end_; }
  const char* position() const { return p_; }

 private:
  const char* p_;
  const char* end_;
};

// The content of the element of tag `tag` at the start of `bytes`; with
// `filling`, it must also end where `bytes` ends.
inline Result<std::string_view> TakeOuter(std::string_view bytes, std::uint8_t tag, bool filling) {
  BerCursor outer(bytes);
  Result<std::string_view> content = outer.Take(tag);
  if (content.ok() && filling && !outer.AtEnd()) {
    return Status::Corruption("bytes after the outer element");
  }
  return content;
}

// The first failure of several takes in their order; ok when all succeeded.
// (A failed take does not move the cursor, so the ones after it usually fail
// too: the first is the one that says what was wrong.)
inline Status FirstFailure(std::initializer_list<Status> statuses) {
  for (const Status& s : statuses) {
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

inline void BerAppendHeader(std::string& out, std::uint8_t tag, std::size_t length) {
  const std::size_t start = out.size();
  out.resize(start + ElementSize(length) - length);
  WriteHeader(out.data() + start, tag, length);
}

inline void BerAppendElement(std::string& out, std::uint8_t tag, std::string_view content) {
  BerAppendHeader(out, tag, content.size());
  out.append(content);
}

inline void BerAppendInteger(std::string& out, std::int32_t v) {
  const std::size_t n = IntegerContentSize(v);
  BerAppendHeader(out, kInteger, n);
  const std::size_t start = out.size();
  out.resize(start + n);
  WriteIntegerContent(out.data() + start, v);
}

}  // namespace plovex::ber
