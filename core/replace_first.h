#pragma once
// ReplaceFirst: text with the first occurrence of placeholder replaced by
// value; text unchanged when the placeholder does not occur (or is empty).
#include <string>
#include <string_view>

namespace plovex {

std::string ReplaceFirst(std::string_view text, std::string_view placeholder,
                         std::string_view value);

}  // namespace plovex
