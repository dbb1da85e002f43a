#pragma once
// Reads a hive file's bytes (the registry editor's text format, see
// hive_format.h) into a HiveDocument.
//
// Accepted: UTF-8 (with or without a byte-order mark) or UTF-16LE with its
// byte-order mark, as the Windows registry editor exports; either header line;
// LF or CR LF line ends; ";" comment lines; "@" default values; hex lists
// continued over lines ending in "\"; any "hex(N):" type. Deletion entries
// ("[-KEY]" and "name"=-) are skipped. A key listed twice is merged and a value
// listed twice keeps its last data, as an import would leave them.
//
// Anything else makes the whole text unreadable: the result fails
// (kCorruption) with which line and why ("line 5: unrecognised line"). A
// reader that skipped a bad line would let the next write drop it, so it never
// guesses.
#include <string_view>

#include "base/status.h"
#include "settings/hive_document.h"

namespace plovex {

Result<HiveDocument> ReadHiveText(std::string_view bytes);

}  // namespace plovex
