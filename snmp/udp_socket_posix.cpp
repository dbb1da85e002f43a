#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "snmp/name_lookup.h"
#include "snmp/tudp_socket.h"

namespace plovex {

TUDPSocket::TUDPSocket() {
  fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd_ < 0) open_error_ = errno;
}

namespace {

// kIoError for a failed system call, with its errno.
Status SystemFailure(const char* call, int error) {
  return Status::IoError(std::string(call) + ": " + std::strerror(error), error);
}

void Close(int fd) {
  if (fd < 0) return;
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

UdpEndpoint FromSockaddr(const sockaddr_storage& sa) {
  UdpEndpoint e;
  if (sa.ss_family == AF_INET6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6&>(sa);
    e.ipv6 = true;
    std::memcpy(e.address6.data(), in6.sin6_addr.s6_addr, e.address6.size());
    e.scope_id = in6.sin6_scope_id;
    e.port = ntohs(in6.sin6_port);
  } else {
    const auto& in = reinterpret_cast<const sockaddr_in&>(sa);
    e.address = ntohl(in.sin_addr.s_addr);
    e.port = ntohs(in.sin_port);
  }
  return e;
}

}  // namespace

Status TUDPSocket::Opened() const {
  return open_error_ == 0 ? Status::Ok() : SystemFailure("socket", open_error_);
}

TUDPSocket::~TUDPSocket() {
  Close(fd_);
  Close(fd6_);
}

Result<UdpEndpoint> NameLookup::SystemResolver(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (error != 0 || found == nullptr) {
    return Status::NotFound("cannot look up " + name + ": " +
                            (error != 0 ? ::gai_strerror(error) : "no address"));
  }
  // A name with an IPv4 address keeps to it, as it always did; only a name
  // with none is reached over IPv6.
  const addrinfo* chosen = found;
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    if (a->ai_family == AF_INET) {
      chosen = a;
      break;
    }
  }
  sockaddr_storage sa{};
  std::memcpy(&sa, chosen->ai_addr, std::min<std::size_t>(chosen->ai_addrlen, sizeof sa));
  ::freeaddrinfo(found);
  UdpEndpoint e = FromSockaddr(sa);
  e.port = 0;
  return e;
}

Result<UdpEndpoint> TUDPSocket::LookUpHost(const std::string& name) {
  return names_.Find(name, NowMs());
}

Status TUDPSocket::SendTo(const UdpEndpoint& to, std::string_view datagram) {
  if (fd_ < 0) return SystemFailure("sendto", EBADF);
  sockaddr_storage sa{};
  socklen_t sa_len = 0;
  int fd = fd_;
  if (to.ipv6) {
    if (fd6_ < 0) {
      fd6_ = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
      if (fd6_ < 0) return SystemFailure("socket", errno);
      // Replies to IPv4 come to the IPv4 socket; this one is IPv6 alone.
      const int on = 1;
      ::setsockopt(fd6_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    }
    fd = fd6_;
    auto& in6 = reinterpret_cast<sockaddr_in6&>(sa);
    in6.sin6_family = AF_INET6;
    in6.sin6_port = htons(to.port);
    std::memcpy(in6.sin6_addr.s6_addr, to.address6.data(), to.address6.size());
    in6.sin6_scope_id = to.scope_id;
    sa_len = sizeof in6;
  } else {
    auto& in = reinterpret_cast<sockaddr_in&>(sa);
    in.sin_family = AF_INET;
    in.sin_port = htons(to.port);
    in.sin_addr.s_addr = htonl(to.address);
    sa_len = sizeof in;
  }
  const ssize_t sent = ::sendto(fd, datagram.data(), datagram.size(), 0,
                                reinterpret_cast<const sockaddr*>(&sa), sa_len);
  return sent < 0 ? SystemFailure("sendto", errno) : Status::Ok();
}

Status TUDPSocket::WaitReadable(std::int64_t timeout_ms) {
  if (fd_ < 0) return SystemFailure("poll", EBADF);
  // A signal must not cut the wait short: poll again for the time that is left.
  const std::int64_t deadline = NowMs() + (timeout_ms < 0 ? 0 : timeout_ms);
  for (;;) {
    pollfd p[2] = {{fd_, POLLIN, 0}, {fd6_, POLLIN, 0}};
    const nfds_t count = fd6_ < 0 ? 1 : 2;
    const std::int64_t left = deadline - NowMs();
    const int n = ::poll(p, count, static_cast<int>(left < 0 ? 0 : left));
    if (n > 0) {
      const bool readable = (p[0].revents & POLLIN) || (count == 2 && (p[1].revents & POLLIN));
      return readable ? Status::Ok() : Status::IoError("poll: the socket failed");
    }
    if (n == 0) return Status::TimedOut("nothing to read");
    if (errno != EINTR) return SystemFailure("poll", errno);
  }
}

int TUDPSocket::ReadableFd() {
  if (fd6_ < 0) return fd_;
  pollfd p[2] = {{fd_, POLLIN, 0}, {fd6_, POLLIN, 0}};
  if (::poll(p, 2, 0) > 0 && !(p[0].revents & POLLIN) && (p[1].revents & POLLIN)) return fd6_;
  return fd_;
}

Status TUDPSocket::ReceiveFrom(std::string& datagram, UdpEndpoint& from) {
  datagram.clear();
  if (fd_ < 0) return SystemFailure("recvfrom", EBADF);
  const int fd = ReadableFd();
  int waiting = 0;
  if (::ioctl(fd, FIONREAD, &waiting) < 0) return SystemFailure("ioctl FIONREAD", errno);
  datagram.resize(static_cast<std::size_t>(waiting < 0 ? 0 : waiting));
  sockaddr_storage sa{};
  socklen_t sa_len = sizeof sa;
  char none;
  // An empty datagram is still taken off the queue, into a dummy byte.
  void* into = datagram.empty() ? static_cast<void*>(&none) : datagram.data();
  const ssize_t got = ::recvfrom(fd, into, datagram.empty() ? 1 : datagram.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&sa), &sa_len);
  if (got < 0) {
    const int error = errno;
    datagram.clear();
    return SystemFailure("recvfrom", error == EWOULDBLOCK ? EAGAIN : error);
  }
  datagram.resize(datagram.empty() ? 0 : static_cast<std::size_t>(got));
  from = FromSockaddr(sa);
  return Status::Ok();
}

std::int64_t TUDPSocket::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace plovex
