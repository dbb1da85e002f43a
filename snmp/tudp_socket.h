#pragma once
// TUDPSocket: an IPv4 UDP datagram socket over POSIX sockets, opened on
// construction, never bound explicitly (the system picks the local port at
// the first send), shut down and closed on destruction. Owned by one client;
// not copyable. An open failure is kept in Opened() and every later
// operation reports EBADF.
#include "snmp/udp_transport.h"

namespace plovex {

class TUDPSocket final : public UdpTransport {
 public:
  TUDPSocket();
  ~TUDPSocket() override;
  TUDPSocket(const TUDPSocket&) = delete;
  TUDPSocket& operator=(const TUDPSocket&) = delete;

  Status Opened() const override;
  Result<std::uint32_t> LookUpHost(const std::string& name) override;
  Status SendTo(const UdpEndpoint& to, std::string_view datagram) override;
  Status WaitReadable(std::int64_t timeout_ms) override;
  Status ReceiveFrom(std::string& datagram, UdpEndpoint& from) override;
  std::int64_t NowMs() override;

 private:
  int fd_ = -1;
  int open_error_ = 0;
};

}  // namespace plovex
