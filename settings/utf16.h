#pragma once
// Conversions between the UTF-16LE of the registry editor's exports and the
// 8-bit (UTF-8) text the program keeps.
#include <string>
#include <string_view>

#include "base/status.h"

namespace plovex {

// UTF-16LE bytes (no byte-order mark) to UTF-8; fails (kCorruption) for an
// odd byte count or an unpaired surrogate.
Result<std::string> Utf16LeToUtf8(std::string_view bytes);

// UTF-8 text to UTF-16LE bytes. A byte that does not start a valid UTF-8
// sequence is taken as the Latin-1 character of that value, so any byte
// string converts.
std::string Utf8ToUtf16Le(std::string_view text);

}  // namespace plovex
