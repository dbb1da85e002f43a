#include <netdb.h>
#include <sys/socket.h>

#include "core/connection_check.h"

namespace plovex {

bool HostResolves(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
  ::freeaddrinfo(found);
  return true;
}

}  // namespace plovex
