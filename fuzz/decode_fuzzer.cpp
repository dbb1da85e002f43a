// libFuzzer target for TSNMPRec::Decode: every datagram decodes without
// reading outside it, a record reused across datagrams decodes exactly like a
// fresh one, and whatever decodes can be encoded again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "snmp/tsnmp_rec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static plovex::TSNMPRec reused;
  const std::string_view datagram(reinterpret_cast<const char*>(data), size);

  plovex::TSNMPRec fresh;
  const bool decoded = fresh.Decode(datagram).ok();
  reused.Reset();
  if (reused.Decode(datagram).ok() != decoded) __builtin_trap();

  const auto a = fresh.VarBinds();
  const auto b = reused.VarBinds();
  if (a.size() != b.size()) __builtin_trap();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].Oid != b[i].Oid || a[i].Value != b[i].Value || a[i].Tag != b[i].Tag) __builtin_trap();
    // No text can outgrow the bytes it was made from by more than the widest
    // rendering (a 4-byte integer printed as 11 characters).
    if (a[i].Value.size() > 4 * size + 16 || a[i].Oid.size() > 4 * size + 16) __builtin_trap();
  }
  if (fresh.Community != reused.Community || fresh.PduType != reused.PduType) __builtin_trap();
  if (decoded) {
    // RequestId survives Reset, so only a decoded reply makes both agree.
    if (fresh.RequestId != reused.RequestId) __builtin_trap();
    plovex::TSNMPRec again;
    if (!again.Decode(fresh.Encode()).ok()) __builtin_trap();
  }
  return 0;
}
