#pragma once
// The hive file's text format: the registry editor's export format, shared by
// HiveTextReader and HiveTextWriter.
//
//   Windows Registry Editor Version 5.00          (or REGEDIT4 on read)
//
//   [HKEY_CURRENT_USER\Software\Kestrune\Plovex_1]
//   "IP"="192.168.1.1"                             REG_SZ, \\ and \" escaped
//   "OID1Cx"=dword:00000002                         REG_DWORD
//   "VersionNum"=hex:33,33,33,33,33,33,f3,3f        REG_BINARY
//   "Other"=hex(7):41,00,00,00,00,00                 any other type, bytes as stored
//   @="..."                                          the key's default value
//
// Key and value names match without regard to ASCII case. Programs address keys
// from the root of the current user's hive ("\Software\Kestrune\Plovex_1");
// the file names them with the root in front.
#include <cstdint>
#include <string>
#include <string_view>

namespace plovex::hive_format {

inline constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kHeaderRegedit4 = "REGEDIT4";
inline constexpr std::string_view kCurrentUserRoot = "HKEY_CURRENT_USER";

// Registry value types, with the numbers the registry gives them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
// Not a registry type: a write of this type removes the value (a secret that
// was only to be read once).
inline constexpr std::uint32_t kRemoved = 0xFFFFFFFFu;

// Hex lists are wrapped with a trailing "\" so lines stay near this width.
inline constexpr std::size_t kWrapColumn = 77;

// "\Software\X" -> "HKEY_CURRENT_USER\Software\X".
inline std::string CurrentUserPath(std::string_view key_path) {
  std::string full(kCurrentUserRoot);
  if (!key_path.empty() && key_path.front() != '\\') full += '\\';
  full += key_path;
  return full;
}

}  // namespace plovex::hive_format
