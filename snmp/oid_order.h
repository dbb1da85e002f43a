#pragma once
// Object identifiers as the agent sees them, for comparing what was asked
// with what came back. A request carries the caller's text unchanged (a
// trailing dot, a leading zero), a decoded reply the agent's dotted form;
// CanonicalOid turns the former into the latter by encoding and decoding it,
// so two texts that travel as the same identifier compare equal.
#include <string>
#include <string_view>

namespace plovex {

// The dotted text a reply would carry for the identifier `text` encodes to.
std::string CanonicalOid(std::string_view text);

// Compares two dotted texts arc by arc as unsigned numbers, a proper prefix
// before its extensions (the order of GetNextRequest, RFC 1157 4.1.3).
// A text that is not dotted decimal compares by its arcs read up to the first
// character that is neither a digit nor a dot. Negative, zero or positive.
int CompareOids(std::string_view a, std::string_view b);

}  // namespace plovex
