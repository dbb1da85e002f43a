#pragma once
// TSNMPSend: the SNMP version 1 client. It owns one UDP socket (a
// UdpTransport, by default the real TUDPSocket) and two message records:
// Request, which the caller fills, and Response, which Exchange fills.
//
// Exchange sends Request as one datagram to port 161 of Host and waits up to
// Timeout milliseconds for the reply. It returns true when a reply arrived
// and decoded; false otherwise, with the reason in ErrorCode(): 10060 when
// nothing came in time, 10054 for an empty datagram, else the system's error
// number. It never throws. One attempt, no retry.
//
// A datagram is taken as the reply only when it can be one: datagrams
// already waiting before the send (a late answer to an earlier, timed-out
// exchange) are discarded, and so is any datagram whose sender is not Host's
// address and port 161, or, for a GetRequest or SetRequest, whose bindings do
// not name the request's identifiers in order (a slow agent's answer to the
// previous request; an error reply without bindings passes). The wait then
// goes on until the same overall deadline. Request-id, community, version
// and PDU type are not compared (every request carries request-id 1), and an
// error-status still counts as a reply.
//
// Host is worked out anew at every exchange: "255.255.255.255" is the
// broadcast address; otherwise a dotted IPv4 address, else the first address
// of a name lookup; a host that is neither stays at 255.255.255.255, which
// the socket may not send to, so the exchange times out.
//
// Not copyable; used by one caller at a time.
#include <cstdint>
#include <memory>
#include <string>

#include "snmp/tsnmp_rec.h"
#include "snmp/udp_transport.h"

namespace plovex {

class TSNMPSend {
 public:
  static constexpr int kErrorTimedOut = 10060;
  static constexpr int kErrorEmptyDatagram = 10054;

  TSNMPSend();
  explicit TSNMPSend(std::unique_ptr<UdpTransport> socket);
  ~TSNMPSend();
  TSNMPSend(const TSNMPSend&) = delete;
  TSNMPSend& operator=(const TSNMPSend&) = delete;

  std::int32_t Timeout = 5000;  // milliseconds
  std::string Host = "localhost";
  TSNMPRec Request;
  TSNMPRec Response;

  bool Exchange();

  // The number of the last socket error, 0 for none.
  int ErrorCode() const { return error_code_; }

  // The transport's monotonic clock in milliseconds, the one Timeout runs on.
  std::int64_t NowMs() { return socket_->NowMs(); }

 private:
  bool AnswersRequest() const;
  UdpEndpoint Destination();
  void DiscardWaiting();

  std::unique_ptr<UdpTransport> socket_;
  std::string buffer_;  // the encoded request, then the datagram received
  int error_code_ = 0;
};

}  // namespace plovex
