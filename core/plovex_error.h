#pragma once
// PlovexError: the one exception type of the program. It carries, unchanged,
// the message the user is shown (for example "'abc' is not a valid integer
// value" or "Cannot create file Plovex.gif"). It is thrown at the failure
// points of conversions, settings reads and writes, GIF writing and checked
// arithmetic, and caught only at the edge of the event loop (or the headless
// runner), which shows the message and carries on.
#include <stdexcept>
#include <string>

namespace plovex {

class PlovexError : public std::runtime_error {
 public:
  explicit PlovexError(const std::string& message) : std::runtime_error(message) {}
};

// The message as the error display shows it: with "." appended when the last
// character sorts above "." (so "Stream write error" gains one, "...value."
// does not gain a second).
std::string DisplayMessage(const std::string& message);

}  // namespace plovex
