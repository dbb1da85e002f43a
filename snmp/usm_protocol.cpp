#include "snmp/usm_protocol.h"

#include <array>
#include <string>

namespace plovex {

namespace {

// In the order of the enums, so that a protocol is its row's index.
constexpr std::array<UsmAuthProtocolRow, 3> kAuthRows{{
    {UsmAuthProtocol::kNone, "", 0, 0},
    {UsmAuthProtocol::kSha1, "SHA", 12, 20},
    {UsmAuthProtocol::kSha256, "SHA-256", 24, 32},
}};

constexpr std::array<UsmPrivProtocolRow, 2> kPrivRows{{
    {UsmPrivProtocol::kNone, "", 0, 0, 0},
    {UsmPrivProtocol::kAes128, "AES", 16, 16, 8},
}};

template <typename Rows>
constexpr bool InEnumOrder(const Rows& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (static_cast<std::size_t>(rows[i].protocol) != i) return false;
  }
  return true;
}
static_assert(InEnumOrder(kAuthRows) && InEnumOrder(kPrivRows));

template <typename Rows>
auto Parse(const Rows& rows, std::string_view name, const char* what)
    -> Result<decltype(rows[0].protocol)> {
  for (const auto& row : rows) {
    if (row.name == name) return row.protocol;
  }
  return Status::InvalidArgument(std::string("unknown ") + what + " protocol \"" +
                                 std::string(name) + "\"");
}

template <typename Rows>
std::vector<std::string_view> Names(const Rows& rows) {
  std::vector<std::string_view> names;
  for (const auto& row : rows) names.push_back(row.name);
  return names;
}

}  // namespace

std::vector<std::string_view> UsmAuthNames() { return Names(kAuthRows); }
std::vector<std::string_view> UsmPrivNames() { return Names(kPrivRows); }

const UsmAuthProtocolRow& UsmAuthRow(UsmAuthProtocol protocol) {
  return kAuthRows.at(static_cast<std::size_t>(protocol));
}

const UsmPrivProtocolRow& UsmPrivRow(UsmPrivProtocol protocol) {
  return kPrivRows.at(static_cast<std::size_t>(protocol));
}

Result<UsmAuthProtocol> ParseUsmAuthProtocol(std::string_view name) {
  return Parse(kAuthRows, name, "authentication");
}

Result<UsmPrivProtocol> ParseUsmPrivProtocol(std::string_view name) {
  return Parse(kPrivRows, name, "privacy");
}

}  // namespace plovex
