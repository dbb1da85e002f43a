#include "core/plovex_error.h"

namespace plovex {

std::string DisplayMessage(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace plovex
