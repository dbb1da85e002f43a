#include "core/replace_first.h"

namespace plovex {

std::string ReplaceFirst(std::string_view text, std::string_view placeholder,
                         std::string_view value) {
  const std::size_t at = placeholder.empty() ? std::string_view::npos : text.find(placeholder);
  if (at == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() - placeholder.size() + value.size());
  out.append(text.substr(0, at)).append(value).append(text.substr(at + placeholder.size()));
  return out;
}

}  // namespace plovex
