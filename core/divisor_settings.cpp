#include "core/divisor_settings.h"

namespace plovex {

Status ReplaceUnusableDivisors(TPlovexSettings& s) {
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  std::string told;
  for (const DivisorSetting& d : kDivisorSettings) {
    std::int32_t& value = s.*d.field;
    if (value >= 1) continue;
    const std::string must = d.must;
    if (!told.empty()) told += "\n";
    told += "The stored \"" + std::string(d.value_name) + "\" is " + std::to_string(value) + ". " +
            must.substr(0, must.size() - 1) + "; " + std::to_string(defaults.*d.field) +
            " is used until you apply another value.";
    value = defaults.*d.field;
  }
  return told.empty() ? Status::Ok() : Status::InvalidArgument(told);
}

}  // namespace plovex
