#pragma once
// UdpTransport: the datagram socket seen by the SNMP client, as a small seam.
// TUDPSocket (tudp_socket.h) is the one real implementation over POSIX
// sockets; MemoryUdpTransport (testing/memory_udp_transport.h) is the in-memory
// double for tests. The client owns its transport.
//
// Nothing here throws: a failure is a Status (or a failed Result), and a
// failure of the socket carries the system's error number (errno), which the
// client reports as its ErrorCode().
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace plovex {

// An IP address and a UDP port (host byte order). IPv4: `address` in host
// byte order, `ipv6` false. IPv6: `ipv6` true, the 16 bytes of `address6` in
// network order and, for a link-local address, the interface index
// `scope_id`; `address` stays 0.
struct UdpEndpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
  bool ipv6 = false;
  std::array<std::uint8_t, 16> address6{};
  std::uint32_t scope_id = 0;
  bool operator==(const UdpEndpoint&) const = default;
};

class UdpTransport {
 public:
  virtual ~UdpTransport() = default;

  // Ok when the socket is open; otherwise kIoError with why it could not be
  // opened (its errno), and nothing else of the transport may be used.
  virtual Status Opened() const = 0;

  // The address of a host name (port 0): its first IPv4 address, or its
  // first IPv6 address when it has none; kNotFound when it cannot be found,
  // kTimedOut when the resolver has not answered yet (TUDPSocket waits a
  // second at most, see name_lookup.h).
  virtual Result<UdpEndpoint> LookUpHost(const std::string& name) = 0;

  // Sends one datagram; kIoError with the errno when the system refuses it.
  virtual Status SendTo(const UdpEndpoint& to, std::string_view datagram) = 0;

  // Waits up to timeout_ms (0: just looks) until a datagram is waiting: ok
  // then, kTimedOut when none came in time, kIoError when the wait failed.
  virtual Status WaitReadable(std::int64_t timeout_ms) = 0;

  // Takes the next waiting datagram, sized by the byte count the socket
  // reports, into `datagram` (replacing its content) with its sender. Ok, or
  // kIoError with the errno; the errno is EAGAIN when nothing was waiting
  // after all.
  virtual Status ReceiveFrom(std::string& datagram, UdpEndpoint& from) = 0;

  // A monotonic clock in milliseconds, the one WaitReadable measures against.
  virtual std::int64_t NowMs() = 0;
};

}  // namespace plovex
