#include "snmp/tsnmp_send.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "snmp/ber_format.h"
#include "snmp/ip_address_text.h"
#include "snmp/oid_order.h"
#include "snmp/tudp_socket.h"

namespace plovex {

namespace {

constexpr std::uint32_t kBroadcast = 0xFFFFFFFFu;
// However many datagrams a flood left waiting, discarding them ends here.
constexpr int kMaxDiscarded = 4096;

}  // namespace

TSNMPSend::TSNMPSend() : TSNMPSend(std::make_unique<TUDPSocket>()) {}

TSNMPSend::TSNMPSend(std::unique_ptr<UdpTransport> socket) : socket_(std::move(socket)) {
  Request.Reset();
  Response.Reset();
  error_code_ = socket_->Opened().sys_errno();
}

TSNMPSend::~TSNMPSend() = default;

UdpEndpoint TSNMPSend::Destination() {
  UdpEndpoint to{kBroadcast, ber::kAgentPort};
  host_unknown_ = false;
  if (Host == "255.255.255.255" || Host.find('\0') != std::string::npos) return to;
  if (const std::optional<UdpEndpoint> parsed = ParseIpAddress(Host)) {
    to = *parsed;
  } else if (Result<UdpEndpoint> found = socket_->LookUpHost(Host)) {
    to = *found;
  } else {
    host_unknown_ = true;
    lookup_timed_out_ = found.status().code() == StatusCode::kTimedOut;
  }
  to.port = ber::kAgentPort;
  return to;
}

void TSNMPSend::DiscardWaiting() {
  for (int i = 0; i < kMaxDiscarded; ++i) {
    if (!socket_->WaitReadable(0).ok()) return;
    UdpEndpoint from;
    const Status received = socket_->ReceiveFrom(buffer_, from);
    if (!received.ok() && received.sys_errno() != EAGAIN) return;
  }
}

std::int64_t TSNMPSend::Deadline() { return socket_->NowMs() + std::max<std::int32_t>(Timeout, 0); }

bool TSNMPSend::Exchange() {
  host_unknown_ = false;
  if (ExchangeTo()) return true;
  if (host_unknown_) {
    status_ = Status::NotFound(lookup_timed_out_ ? "the name resolver gave no answer in time"
                                                 : "no such host");
  }
  return false;
}

bool TSNMPSend::ExchangeTo() {
  Response.Reset();
  status_ = Status::Ok();
  if (const Status opened = socket_->Opened(); !opened.ok()) return Unreadable(opened.sys_errno());
  const UdpEndpoint to = Destination();
  DiscardWaiting();
  error_code_ = 0;
  if (Request.Version == ber::kVersion3) return ExchangeV3(to, Deadline());

  Request.EncodeTo(buffer_);
  Send(to, buffer_);
  const std::int64_t deadline = Deadline();
  for (bool first = true;;) {
    if (!ReceiveReply(to, deadline, first)) return false;
    if (!Response.Decode(buffer_).ok()) return Unreadable(error_code_);
    if (AnswersRequest()) return true;
    Response.Reset();  // an answer to an earlier request: wait on for ours
  }
}

bool TSNMPSend::ReceiveReply(const UdpEndpoint& to, std::int64_t deadline, bool& first) {
  for (;;) {
    const std::int64_t left = deadline - socket_->NowMs();
    const bool look = first;
    first = false;
    // A failed wait counts as a time-out, as the Parts have it.
    if ((!look && left <= 0) || !socket_->WaitReadable(std::max<std::int64_t>(left, 0)).ok()) {
      error_code_ = kErrorTimedOut;
      status_ = Status::TimedOut("time-out");
      buffer_.clear();
      return false;
    }
    UdpEndpoint from;
    const Status received = socket_->ReceiveFrom(buffer_, from);
    if (received.sys_errno() == EAGAIN) continue;
    if (!received.ok()) return Unreadable(received.sys_errno());
    if (from != to) continue;  // not from the agent asked
    if (buffer_.empty()) return Unreadable(kErrorEmptyDatagram);
    return true;
  }
}

bool TSNMPSend::Unreadable(int error_code) {
  error_code_ = error_code;
  // The Parts' own numbers are not the system's.
  const bool system = error_code != kErrorTimedOut && error_code != kErrorEmptyDatagram;
  status_ = Status::IoError("no readable reply", system ? error_code : 0);
  return false;
}

bool TSNMPSend::AnswersRequest() const {
  if (Request.PduType != ber::kGetRequest && Request.PduType != ber::kSetRequest) return true;
  const auto asked = Request.VarBinds();
  const auto got = Response.VarBinds();
  // Agents may answer an error (tooBig above all) without the bindings.
  if (got.empty() && Response.ErrorStatus != 0) return true;
  if (got.size() != asked.size()) return false;
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got[i].Oid != asked[i].Oid && got[i].Oid != CanonicalOid(asked[i].Oid)) return false;
  }
  return true;
}

}  // namespace plovex
