#pragma once
// Test double: the real UDP socket, keeping a copy of every datagram sent
// and received, so that a test can look at what crossed the wire.
#include <string>
#include <vector>

#include "snmp/tudp_socket.h"
#include "snmp/udp_transport.h"

namespace plovex::testing {

class CapturingTransport final : public UdpTransport {
 public:
  explicit CapturingTransport(std::vector<std::string>* wire) : wire_(wire) {}
  Status Opened() const override { return socket_.Opened(); }
  Result<UdpEndpoint> LookUpHost(const std::string& name) override {
    return socket_.LookUpHost(name);
  }
  Status SendTo(const UdpEndpoint& to, std::string_view datagram) override {
    wire_->emplace_back(datagram);
    return socket_.SendTo(to, datagram);
  }
  Status WaitReadable(std::int64_t timeout_ms) override { return socket_.WaitReadable(timeout_ms); }
  Status ReceiveFrom(std::string& datagram, UdpEndpoint& from) override {
    Status received = socket_.ReceiveFrom(datagram, from);
    if (received.ok()) wire_->push_back(datagram);
    return received;
  }
  std::int64_t NowMs() override { return socket_.NowMs(); }

 private:
  TUDPSocket socket_;
  std::vector<std::string>* wire_;
};

}  // namespace plovex::testing
