#pragma once
// TUDPSocket: a UDP datagram socket over POSIX sockets, opened for IPv4 on
// construction, never bound explicitly (the system picks the local port at
// the first send), shut down and closed on destruction. The first datagram
// to an IPv6 address opens an IPv6 socket beside it, kept as long; waits and
// receives then cover both. Owned by one client; not copyable. An open
// failure of the IPv4 socket is kept in Opened() and every later operation
// reports EBADF.
#include "snmp/name_lookup.h"
#include "snmp/udp_transport.h"

namespace plovex {

class TUDPSocket final : public UdpTransport {
 public:
  TUDPSocket();
  ~TUDPSocket() override;
  TUDPSocket(const TUDPSocket&) = delete;
  TUDPSocket& operator=(const TUDPSocket&) = delete;

  Status Opened() const override;
  Result<UdpEndpoint> LookUpHost(const std::string& name) override;
  Status SendTo(const UdpEndpoint& to, std::string_view datagram) override;
  Status WaitReadable(std::int64_t timeout_ms) override;
  Status ReceiveFrom(std::string& datagram, UdpEndpoint& from) override;
  std::int64_t NowMs() override;

 private:
  // The socket a datagram is waiting on (the IPv4 one when none is).
  int ReadableFd();

  int fd_ = -1;   // IPv4
  int fd6_ = -1;  // IPv6, once needed
  int open_error_ = 0;
  NameLookup names_{1000};  // a name's lookup waits no longer than a reply
};

}  // namespace plovex
