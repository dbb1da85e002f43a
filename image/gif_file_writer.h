#pragma once
// Writing finished file bytes under one or more names, each name replaced
// atomically: the bytes go to a fresh temporary file in the name's directory,
// which is then renamed over the name. A reader that opens the name at any
// moment gets either the complete old file or the complete new one, and a
// failed write leaves the old file as it was. A name that is a symbolic link
// has its target replaced, so the link stays in place.
//
// No fsync: the files are rewritten every few seconds, and what matters is
// that nobody ever sees a torn one, not that the newest survives a power cut.
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"

namespace plovex {

// Writes `bytes` to each of `names` (relative to the working directory) in
// order, stopping at the first failure. Returns ok, else a failure whose
// message is: "Cannot create file <name>" (the name as passed) when
// the file cannot be created or put in place, "Stream write error" when the
// bytes cannot all be stored. The temporary file of a failed name is
// removed; names written before it stay written.
Status WriteFilesReplacing(const std::vector<std::uint8_t>& bytes,
                           const std::vector<std::string>& names);

// The same for one name that its one writer replaces on every tick, through
// a spare file the caller names and deletes when done (see
// ReplaceFileThroughSpare): a reader still sees only whole files, and the
// file system allocates and frees nothing from one tick to the next.
Status WriteFileThroughSpare(const std::vector<std::uint8_t>& bytes, const std::string& name,
                             const std::string& spare);

}  // namespace plovex
