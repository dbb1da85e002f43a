#include "core/apply_restart.h"

namespace plovex {

bool ApplyMustRestart(const TPlovexSettings& applied, std::int32_t typed_max_bytes,
                      std::string_view typed_ip, const TypedSecurity& typed_security) {
  if (typed_max_bytes != applied.MaxBytes) return true;
  if (typed_ip != applied.Ip) return true;
  return SecurityChanged(applied, typed_security);
}

}  // namespace plovex
