#include "snmp/testing/memory_udp_transport.h"

#include <algorithm>
#include <cerrno>

namespace plovex {

void MemoryUdpTransport::Deliver(const UdpEndpoint& from, std::string bytes,
                                 std::int64_t delay_ms) {
  Datagram d{from, std::move(bytes), now_ms + delay_ms};
  const auto later =
      std::upper_bound(incoming_.begin(), incoming_.end(), d.at_ms,
                       [](std::int64_t at, const Datagram& queued) { return at < queued.at_ms; });
  incoming_.insert(later, std::move(d));
}

Status MemoryUdpTransport::Opened() const {
  return open_error == 0 ? Status::Ok() : Status::IoError("socket", open_error);
}

Result<UdpEndpoint> MemoryUdpTransport::LookUpHost(const std::string& name) {
  const auto it = hosts.find(name);
  if (it == hosts.end()) return Status::NotFound("cannot look up " + name);
  return it->second;
}

Status MemoryUdpTransport::SendTo(const UdpEndpoint& to, std::string_view datagram) {
  sent.push_back({to, std::string(datagram), now_ms});
  if (responder) responder(sent.back(), *this);
  return Status::Ok();
}

Status MemoryUdpTransport::WaitReadable(std::int64_t timeout_ms) {
  if (timeout_ms < 0) timeout_ms = 0;
  if (!incoming_.empty() && incoming_.front().at_ms <= now_ms + timeout_ms) {
    now_ms = std::max(now_ms, incoming_.front().at_ms);
    return Status::Ok();
  }
  now_ms += timeout_ms;
  return Status::TimedOut("nothing to read");
}

Status MemoryUdpTransport::ReceiveFrom(std::string& datagram, UdpEndpoint& from) {
  datagram.clear();
  if (incoming_.empty() || incoming_.front().at_ms > now_ms) {
    return Status::IoError("nothing waiting", EAGAIN);
  }
  datagram = std::move(incoming_.front().bytes);
  from = incoming_.front().peer;
  incoming_.pop_front();
  return Status::Ok();
}

}  // namespace plovex
