#include "snmp/ip_address_text.h"

#include <arpa/inet.h>
#include <net/if.h>

#include <charconv>
#include <cstring>
#include <string>

namespace plovex {

namespace {

// The interface index a scope names: a number, or an interface's name.
std::optional<std::uint32_t> ScopeIndex(std::string_view scope) {
  if (scope.empty()) return std::nullopt;
  std::uint32_t index = 0;
  const auto [end, error] = std::from_chars(scope.data(), scope.data() + scope.size(), index);
  if (error == std::errc() && end == scope.data() + scope.size()) return index;
  if (scope.size() >= IF_NAMESIZE) return std::nullopt;
  index = ::if_nametoindex(std::string(scope).c_str());
  if (index == 0) return std::nullopt;
  return index;
}

}  // namespace

std::optional<UdpEndpoint> ParseIpAddress(std::string_view text) {
  // inet_pton reads up to a zero byte: a text holding one is no address.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  UdpEndpoint to;
  in_addr v4{};
  if (::inet_pton(AF_INET, std::string(text).c_str(), &v4) == 1) {
    to.address = ntohl(v4.s_addr);
    return to;
  }
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    text = text.substr(1, text.size() - 2);
  }
  const std::size_t percent = text.find('%');
  if (percent != std::string_view::npos) {
    const std::optional<std::uint32_t> scope = ScopeIndex(text.substr(percent + 1));
    if (!scope) return std::nullopt;
    to.scope_id = *scope;
    text = text.substr(0, percent);
  }
  in6_addr v6{};
  if (::inet_pton(AF_INET6, std::string(text).c_str(), &v6) != 1) return std::nullopt;
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    // ::ffff:a.b.c.d is an IPv4 host, and answers over IPv4.
    std::uint32_t v4_bytes;
    std::memcpy(&v4_bytes, v6.s6_addr + 12, sizeof v4_bytes);
    return UdpEndpoint{ntohl(v4_bytes)};
  }
  to.ipv6 = true;
  std::memcpy(to.address6.data(), v6.s6_addr, to.address6.size());
  return to;
}

}  // namespace plovex
