#pragma once
// TSNMPSend: the SNMP client, versions 1, 2c and 3. It owns one UDP socket (a
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
// Version 3: when Request.Version is 3, the same records travel inside
// version 3 messages under the User-based Security Model as the user Usm
// (usm_session.h): the agent's engine is discovered by the first exchange
// and kept while Host stays the same and the agent answers (an exchange that
// gets no reply forgets it, since an agent with a new engine ID may drop
// requests for the old one silently), one re-synchronisation follows an
// agent that rebooted, every request carries a new msgID and request-id, and
// only an authenticated (and, with privacy, encrypted) reply to exactly this
// request is taken; anything else is discarded like a stray datagram. The
// whole exchange, discovery included, keeps to Timeout. Response.RequestId
// is then the request-id sent; Request.RequestId stays as it was.
//
// LastStatus() tells why an exchange returned false, beside the boolean the
// Parts give Exchange: kTimedOut ("time-out") when nothing came in time;
// kIoError ("no readable reply", with the errno where the system gave one)
// for a socket error or an empty or undecodable datagram; in version 3,
// kRefused with the agent's reason as the user reads it ("unknown user",
// "wrong authentication key", "unsupported security level", "wrong privacy
// key", "not in time window", "unknown engine ID", "refused (report ...)";
// also after a time-out when a message that answered the request could not
// be verified or decrypted with the user's keys, see UsmSession::Suspicion),
// and kInvalidArgument with the problem for a user that cannot be used
// (nothing is sent then). It is ok after an exchange that succeeded.
//
// Host is worked out anew at every exchange: "255.255.255.255" is the
// broadcast address; otherwise a dotted IPv4 or an IPv6 address (see
// ip_address_text.h), else the address of a name lookup (its IPv4 address
// when it has one); a host that is none of these stays at 255.255.255.255,
// which the socket may not send to, so the exchange times out; LastStatus()
// is then kNotFound ("no such host"), so that a mistyped name is not taken
// for a silent agent.
//
// Not copyable; used by one caller at a time.
#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "snmp/tsnmp_rec.h"
#include "snmp/udp_transport.h"
#include "snmp/usm_session.h"
#include "snmp/usm_user.h"

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
  UsmUser Usm;  // who speaks when Request.Version is 3

  bool Exchange();

  // The number of the last socket error, 0 for none.
  int ErrorCode() const { return error_code_; }

  // Why the last exchange returned false; ok after one that succeeded.
  const Status& LastStatus() const { return status_; }

  // The version 3 state of the agent; null before the first version 3 exchange.
  const UsmSession* Session() const { return usm_.get(); }

  // The transport's monotonic clock in milliseconds, the one Timeout runs on.
  std::int64_t NowMs() { return socket_->NowMs(); }

 private:
  bool AnswersRequest() const;
  // Sets host_unknown_ when Host is a name the lookup does not find.
  UdpEndpoint Destination();
  bool ExchangeTo();
  void DiscardWaiting();
  // Sends a datagram; a failed send shows up as a missing reply.
  void Send(const UdpEndpoint& to, std::string_view datagram) {
    static_cast<void>(socket_->SendTo(to, datagram));
  }
  // Records a failure of the socket or the datagram; returns false.
  bool Unreadable(int error_code);
  // Waits until `deadline` for the next non-empty datagram from `to` into
  // buffer_; false with ErrorCode and LastStatus set when none came. `first`
  // marks the exchange's first wait, which looks even when time is up.
  bool ReceiveReply(const UdpEndpoint& to, std::int64_t deadline, bool& first);
  bool ExchangeV3(const UdpEndpoint& to, std::int64_t deadline);  // tsnmp_send_v3.cpp
  std::int64_t Deadline();

  std::unique_ptr<UdpTransport> socket_;
  std::unique_ptr<UsmSession> usm_;
  std::string buffer_;  // the encoded request, then the datagram received
  int error_code_ = 0;
  Status status_;
  bool host_unknown_ = false;
  bool lookup_timed_out_ = false;  // and the resolver was too slow to say
};

}  // namespace plovex
