#pragma once
// MemoryUdpTransport: an in-memory UdpTransport for tests, with a virtual
// millisecond clock. Nothing touches the network. A test scripts the far end
// with a responder that sees every datagram sent and may Deliver replies,
// each arriving at a chosen time; WaitReadable advances the clock to the
// arrival of the next datagram or by the whole time-out when none comes.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "snmp/udp_transport.h"

namespace plovex {

class MemoryUdpTransport final : public UdpTransport {
 public:
  struct Datagram {
    UdpEndpoint peer;  // destination of a sent datagram, sender of a delivered one
    std::string bytes;
    std::int64_t at_ms = 0;  // when it was sent or arrives
  };
  using Responder = std::function<void(const Datagram& sent, MemoryUdpTransport& net)>;

  int open_error = 0;                        // the errno of a socket that could not be opened
  std::map<std::string, UdpEndpoint> hosts;  // what LookUpHost finds
  Responder responder;
  std::vector<Datagram> sent;
  std::int64_t now_ms = 0;

  // Queues a datagram from `from` that arrives delay_ms after now.
  void Deliver(const UdpEndpoint& from, std::string bytes, std::int64_t delay_ms = 0);
  // Datagrams delivered and not yet received (including ones still on their way).
  std::size_t Queued() const { return incoming_.size(); }

  Status Opened() const override;
  Result<UdpEndpoint> LookUpHost(const std::string& name) override;
  Status SendTo(const UdpEndpoint& to, std::string_view datagram) override;
  Status WaitReadable(std::int64_t timeout_ms) override;
  Status ReceiveFrom(std::string& datagram, UdpEndpoint& from) override;
  std::int64_t NowMs() override { return now_ms; }

 private:
  std::deque<Datagram> incoming_;  // in order of arrival
};

}  // namespace plovex
