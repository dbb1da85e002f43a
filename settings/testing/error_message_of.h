#pragma once
// Test helper: runs f and returns the message of the PlovexError it throws,
// or "(no error)" when it throws none, so tests can compare messages exactly.
#include <string>

#include "core/plovex_error.h"

namespace plovex {

template <typename F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const PlovexError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace plovex
