// TSNMPSend's version 3 exchange: discovery, the request, and the one
// rediscovery or re-synchronisation an agent may ask for, all within one
// deadline.
#include "snmp/tsnmp_send.h"

namespace plovex {

bool TSNMPSend::ExchangeV3(const UdpEndpoint& to, std::int64_t deadline) {
  status_ = Usm.Check();
  if (!status_.ok()) return false;
  if (!usm_) usm_ = std::make_unique<UsmSession>();
  UsmSession& session = *usm_;
  session.Use(Usm, to);
  const auto refused = [&](const Status& why) {
    status_ = why;
    return false;
  };
  const auto unanswered = [&] {
    // An agent that starts with a new engine ID may drop requests for the
    // old one without a word: the next try discovers the engine again.
    session.ForgetEngine();
    if (status_.code() == StatusCode::kTimedOut && !session.Suspicion().ok()) {
      status_ = session.Suspicion();
    }
    return false;
  };

  bool first = true;
  if (!session.KnowsEngine()) {
    Send(to, session.Probe());
    for (;;) {
      if (!ReceiveReply(to, deadline, first)) return false;
      const UsmSession::Verdict verdict = session.Judge(buffer_, socket_->NowMs(), Response);
      if (verdict == UsmSession::Verdict::kEngineLearned) break;
      if (verdict == UsmSession::Verdict::kRefused) return refused(session.Refusal());
      Response.Reset();  // anything else answers no probe
    }
  }

  bool relearned = false;
  bool resynchronised = false;
  Send(to, session.Wrap(Request, socket_->NowMs()));
  for (;;) {
    if (!ReceiveReply(to, deadline, first)) return unanswered();
    switch (session.Judge(buffer_, socket_->NowMs(), Response)) {
      case UsmSession::Verdict::kReply:
        if (AnswersRequest()) return true;
        Response.Reset();
        break;
      case UsmSession::Verdict::kIgnored:
        break;
      case UsmSession::Verdict::kEngineLearned:
        // The agent has another engine ID now (its state was reset).
        if (relearned) return refused(Status::Refused("unknown engine ID"));
        relearned = true;
        Send(to, session.Wrap(Request, socket_->NowMs()));
        break;
      case UsmSession::Verdict::kTimeResynced:
        // The agent rebooted, or the clock learned at discovery was off.
        if (resynchronised) return refused(Status::Refused("not in time window"));
        resynchronised = true;
        Send(to, session.Wrap(Request, socket_->NowMs()));
        break;
      case UsmSession::Verdict::kRefused:
        return refused(session.Refusal());
    }
  }
}

}  // namespace plovex
