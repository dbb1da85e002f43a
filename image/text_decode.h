#pragma once
// The picture's texts are byte strings from the agent and the settings. They
// are read as UTF-8 when the whole text is valid UTF-8 (shortest forms, no
// surrogates, at most U+10FFFF) and otherwise byte by byte as Latin-1, which
// is what an old agent's 8-bit description most likely is. Never fails.
#include <string>
#include <string_view>

#include "base/utf8.h"

namespace plovex {

std::u32string DecodeText(std::string_view bytes);

}  // namespace plovex
