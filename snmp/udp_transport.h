#pragma once
// UdpTransport: the datagram socket seen by the SNMP client, as a small seam.
// TUDPSocket (tudp_socket.h) is the one real implementation over POSIX
// sockets; MemoryUdpTransport (testing/memory_udp_transport.h) is the in-memory
// double for tests. The client owns its transport.
//
// Nothing here throws: failures of the socket are system error numbers
// (errno values, 0 meaning success), as the client's ErrorCode() reports
// them; a name that cannot be looked up is a failed Result.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace plovex {

// An IPv4 address and a UDP port, both in host byte order.
struct UdpEndpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
  bool operator==(const UdpEndpoint&) const = default;
};

class UdpTransport {
 public:
  enum class Wait { kReadable, kTimedOut, kFailed };

  virtual ~UdpTransport() = default;

  // 0 when the socket is open; otherwise why it could not be opened, and
  // nothing else of the transport may be used.
  virtual int OpenError() const = 0;

  // The first IPv4 address of a host name; kNotFound when it cannot be
  // found. May block for as long as the system's resolver takes.
  virtual Result<std::uint32_t> LookUpHost(const std::string& name) = 0;

  // Sends one datagram; 0 or the error number.
  virtual int SendTo(const UdpEndpoint& to, std::string_view datagram) = 0;

  // Waits up to timeout_ms (0: just looks) until a datagram is waiting.
  virtual Wait WaitReadable(std::int64_t timeout_ms) = 0;

  // Takes the next waiting datagram, sized by the byte count the socket
  // reports, into `datagram` (replacing its content) with its sender.
  // Returns 0 or the error number; EAGAIN when nothing was waiting after all.
  virtual int ReceiveFrom(std::string& datagram, UdpEndpoint& from) = 0;

  // A monotonic clock in milliseconds, the one WaitReadable measures against.
  virtual std::int64_t NowMs() = 0;
};

}  // namespace plovex
