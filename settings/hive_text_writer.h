#pragma once
// Writes a HiveDocument as a hive file (the registry editor's text format, see
// hive_format.h), UTF-8 with LF line ends: the header, a blank line, then each
// key with its values, each key followed by a blank line.
//
// Strings are written as their exact bytes between quotes with "\" and """
// escaped, except a string holding a line break or a zero byte, which a quoted
// line cannot carry: that one is written as hex(1) in UTF-16LE, as the registry
// editor does, and reads back as the same REG_SZ text. ReadHiveText reads
// everything this writes back to an equal document.
#include <string>

#include "settings/hive_document.h"

namespace plovex {

std::string WriteHiveText(const HiveDocument& doc);

}  // namespace plovex
