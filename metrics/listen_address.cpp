#include "metrics/listen_address.h"

#include <arpa/inet.h>

#include <charconv>

namespace plovex {
namespace {

Status Bad(const std::string& text, const std::string& why) {
  return Status::InvalidArgument("metrics address '" + text + "': " + why);
}

}  // namespace

std::string ListenAddress::Text() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

Result<ListenAddress> ParseListenAddress(const std::string& text) {
  ListenAddress address;
  std::string port_text;
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) {
    address.host = "127.0.0.1";
    port_text = text;
  } else {
    address.host = text.substr(0, colon);
    port_text = text.substr(colon + 1);
    if (address.host.empty() || address.host == "localhost") address.host = "127.0.0.1";
  }

  if (address.host.starts_with('[')) {
    if (!address.host.ends_with(']')) return Bad(text, "an IPv6 address needs its closing ']'");
    address.host = address.host.substr(1, address.host.size() - 2);
    in6_addr v6{};
    if (inet_pton(AF_INET6, address.host.c_str(), &v6) != 1)
      return Bad(text, "'" + address.host + "' is not an IPv6 address");
  } else {
    in_addr v4{};
    if (address.host.find(':') != std::string::npos)
      return Bad(text, "write an IPv6 address in brackets, as [::1]:9877");
    if (inet_pton(AF_INET, address.host.c_str(), &v4) != 1)
      return Bad(text, "'" + address.host + "' is not an IPv4 address (names are not looked up)");
  }

  const char* end = port_text.data() + port_text.size();
  const auto [ptr, ec] = std::from_chars(port_text.data(), end, address.port);
  if (port_text.empty() || ec != std::errc() || ptr != end || address.port < 1 ||
      address.port > 65535)
    return Bad(text, "the port must be a number from 1 to 65535");
  return address;
}

}  // namespace plovex
