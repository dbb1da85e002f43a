#pragma once
// QuotedAgentText: a value received from the agent, made fit to be quoted in
// a message that a terminal or a message box shows. The agent is not trusted:
// its bytes could clear a terminal, move its cursor, fake further lines, or
// hide what follows a zero byte.
//
// Backslash and every control character (C0, DEL, and the C1 range U+0080 to
// U+009F) become visible escapes: "\\", "\0", "\t", "\n", "\r", otherwise
// "\xHH" per byte; so does every byte that is not part of valid UTF-8. The
// rest of the text, after a zero byte too, stays as it is. A value longer than
// kMaxQuotedBytes is cut there (never inside a UTF-8 character) and "..." is
// appended.
#include <cstddef>
#include <string>
#include <string_view>

namespace plovex {

inline constexpr std::size_t kMaxQuotedBytes = 200;

std::string QuotedAgentText(std::string_view value);

}  // namespace plovex
