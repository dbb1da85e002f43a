#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

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

}  // namespace

Status TUDPSocket::Opened() const {
  return open_error_ == 0 ? Status::Ok() : SystemFailure("socket", open_error_);
}

TUDPSocket::~TUDPSocket() {
  if (fd_ < 0) return;
  ::shutdown(fd_, SHUT_RDWR);
  ::close(fd_);
}

Result<std::uint32_t> TUDPSocket::LookUpHost(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (error != 0 || found == nullptr) {
    return Status::NotFound("cannot look up " + name + ": " +
                            (error != 0 ? ::gai_strerror(error) : "no address"));
  }
  const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const std::uint32_t address = ntohl(in->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return address;
}

Status TUDPSocket::SendTo(const UdpEndpoint& to, std::string_view datagram) {
  if (fd_ < 0) return SystemFailure("sendto", EBADF);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(to.port);
  sa.sin_addr.s_addr = htonl(to.address);
  const ssize_t sent = ::sendto(fd_, datagram.data(), datagram.size(), 0,
                                reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
  return sent < 0 ? SystemFailure("sendto", errno) : Status::Ok();
}

Status TUDPSocket::WaitReadable(std::int64_t timeout_ms) {
  if (fd_ < 0) return SystemFailure("poll", EBADF);
  // A signal must not cut the wait short: poll again for the time that is left.
  const std::int64_t deadline = NowMs() + (timeout_ms < 0 ? 0 : timeout_ms);
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    const std::int64_t left = deadline - NowMs();
    const int n = ::poll(&p, 1, static_cast<int>(left < 0 ? 0 : left));
    if (n > 0) {
      return (p.revents & POLLIN) ? Status::Ok() : Status::IoError("poll: the socket failed");
    }
    if (n == 0) return Status::TimedOut("nothing to read");
    if (errno != EINTR) return SystemFailure("poll", errno);
  }
}

Status TUDPSocket::ReceiveFrom(std::string& datagram, UdpEndpoint& from) {
  datagram.clear();
  if (fd_ < 0) return SystemFailure("recvfrom", EBADF);
  int waiting = 0;
  if (::ioctl(fd_, FIONREAD, &waiting) < 0) return SystemFailure("ioctl FIONREAD", errno);
  datagram.resize(static_cast<std::size_t>(waiting < 0 ? 0 : waiting));
  sockaddr_in sa{};
  socklen_t sa_len = sizeof sa;
  char none;
  // An empty datagram is still taken off the queue, into a dummy byte.
  void* into = datagram.empty() ? static_cast<void*>(&none) : datagram.data();
  const ssize_t got = ::recvfrom(fd_, into, datagram.empty() ? 1 : datagram.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&sa), &sa_len);
  if (got < 0) {
    const int error = errno;
    datagram.clear();
    return SystemFailure("recvfrom", error == EWOULDBLOCK ? EAGAIN : error);
  }
  datagram.resize(datagram.empty() ? 0 : static_cast<std::size_t>(got));
  from.address = ntohl(sa.sin_addr.s_addr);
  from.port = ntohs(sa.sin_port);
  return Status::Ok();
}

std::int64_t TUDPSocket::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace plovex
