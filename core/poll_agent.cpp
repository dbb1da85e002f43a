#include "core/poll_agent.h"

#include <algorithm>
#include <vector>

#include "base/decimal.h"
#include "core/agent_text.h"
#include "core/format_uptime.h"
#include "core/int_text.h"
#include "core/interface_follower.h"
#include "core/plovex_error.h"
#include "snmp/ber_format.h"
#include "snmp/oid_order.h"

namespace plovex {

namespace {

constexpr std::int32_t kPollTimeoutMs = 1000;
constexpr std::int32_t kNullTag = ber::kNull;
constexpr std::int32_t kTooBig = 1;
constexpr std::int32_t kNoSuchName = 2;
// Retries of the shared GetRequest stop once the poll has taken this long;
// the walk has a budget of its own.
constexpr std::int64_t kRequestBudgetMs = 2000;
constexpr std::int64_t kWalkBudgetMs = 2000;
// However slow the agent, the window is never held longer than this per tick.
constexpr std::int64_t kPollBudgetMs = 3000;
constexpr int kMaxWalkRows = 1000;
// Rows of the last walk sent again at once: a home router's address table,
// with room to spare, in one datagram of well under 1472 bytes.
constexpr std::size_t kMaxWalkAhead = 24;
// Rows asked for at once by a GetBulkRequest: a home router's address table
// fits in one or two exchanges.
constexpr std::int32_t kBulkRows = 10;
constexpr std::int64_t kFirstRetryMs = 5000;
constexpr std::int64_t kLongestRetryMs = 60000;
// Refused identifiers are asked for again after this long: an interface that
// was down may be back.
constexpr std::int64_t kForgetRefusedMs = 600000;

// Values from the agent are decimal integers or they are wrong: unlike the
// settings' conversion, no blanks and no hexadecimal, so an address or a
// text such as "x10" is reported rather than read as a number.
std::int64_t DecimalInt64(const std::string& text) {
  const Result<std::int64_t> value = ParseSignedDecimal(text, 64);
  if (!value) throw PlovexError(NotAValidIntegerMessage(QuotedAgentText(text)));
  return *value;
}

void StoreReading(OidChannel& channel, const std::string& text) {
  if (text.empty()) return;
  channel.PrevValue = channel.Value;
  channel.Value = DecimalInt64(text);
}

// One identifier of the shared GetRequest and the output text it fills.
struct Slot {
  int text;  // index into PollTexts, or kUptimeSlot
  const std::string* oid;
};

// The agent's uptime and the followed interface's ifOperStatus, asked for
// alongside while an interface is followed.
constexpr int kUptimeSlot = 7;
constexpr int kStatusSlot = 8;
const std::string kSysUpTime = "1.3.6.1.2.1.1.3.0";

bool IsCounter(const Slot& slot) { return slot.text < 2; }

// The shared GetRequest and its retries. Fills the texts of the slots the
// agent answered; returns false when the host did not answer at all.
class SharedRequest {
 public:
  SharedRequest(TPlovexSettings& s, TSNMPSend& client, PollTexts& texts,
                const PollInterruption* interruption)
      : s_(s), client_(client), texts_(texts), interruption_(interruption) {}

  bool Run(std::vector<Slot> slots) {
    const std::size_t max_requests = slots.size() + 2;
    std::vector<std::vector<Slot>> queue{std::move(slots)};
    bool first = true;
    const std::int64_t started = client_.NowMs();
    std::size_t sent = 0;
    while (!queue.empty() && sent < max_requests) {
      std::vector<Slot>& group = queue.front();
      if (group.empty()) {
        queue.erase(queue.begin());
        continue;
      }
      std::int32_t timeout = kPollTimeoutMs;
      if (!first) {
        if (interruption_ != nullptr && interruption_->Requested()) break;
        const std::int64_t left = kRequestBudgetMs - (client_.NowMs() - started);
        if (left <= 0) break;
        timeout = static_cast<std::int32_t>(std::min<std::int64_t>(left, kPollTimeoutMs));
      }
      first = false;
      Send(group, timeout);
      ++sent;
      if (!client_.Exchange()) {
        // A try that the budget cut short says nothing of the host.
        if (timeout == kPollTimeoutMs) return false;
        break;
      }
      const TSNMPRec& r = client_.Response;
      if (r.ErrorStatus == 0) {
        for (const Slot& slot : group) Out(slot) = r.FindValue(*slot.oid);
        queue.erase(queue.begin());
      } else if (r.ErrorStatus == kNoSuchName && r.ErrorIndex >= 1 &&
                 static_cast<std::size_t>(r.ErrorIndex) <= group.size()) {
        const std::string refused = *group[r.ErrorIndex - 1].oid;
        Refuse(refused);
        std::erase_if(group, [&refused](const Slot& slot) { return *slot.oid == refused; });
      } else if (r.ErrorStatus == kTooBig && group.size() > 1) {
        SplitTooBig(queue);
      } else {
        queue.erase(queue.begin());  // an error naming nothing: no values from it
      }
    }
    return true;
  }

 private:
  std::string& Out(const Slot& slot) {
    if (slot.text == kUptimeSlot) return s_.SnmpMemory.Uptime;
    if (slot.text == kStatusSlot) return s_.SnmpMemory.InterfaceStatus;
    return texts_[slot.text];
  }

  void Send(const std::vector<Slot>& group, std::int32_t timeout) {
    client_.Request.Reset();
    client_.Host = s_.Ip;
    client_.Request.Version = s_.SnmpMessageVersion();
    client_.Request.Community = s_.Community;
    client_.Request.PduType = ber::kGetRequest;
    client_.Timeout = timeout;
    for (const Slot& slot : group) client_.Request.AddVarBind(*slot.oid, "", kNullTag);
  }

  void Refuse(const std::string& oid) {
    PollMemory& m = s_.SnmpMemory;
    if (m.Refused.empty()) m.RefusedSinceMs = client_.NowMs();
    m.Refused.push_back(oid);
  }

  // The counters first, then the overlays; overlays that are too big together
  // go one by one.
  static void SplitTooBig(std::vector<std::vector<Slot>>& queue) {
    std::vector<Slot> group = std::move(queue.front());
    queue.erase(queue.begin());
    std::vector<std::vector<Slot>> parts;
    const bool mixed = std::any_of(group.begin(), group.end(), IsCounter) &&
                       !std::all_of(group.begin(), group.end(), IsCounter);
    if (mixed) {
      std::vector<Slot> counters, overlays;
      for (const Slot& slot : group) (IsCounter(slot) ? counters : overlays).push_back(slot);
      parts = {std::move(counters), std::move(overlays)};
    } else {
      for (const Slot& slot : group) parts.push_back({slot});
    }
    queue.insert(queue.begin(), parts.begin(), parts.end());
  }

  TPlovexSettings& s_;
  TSNMPSend& client_;
  PollTexts& texts_;
  const PollInterruption* interruption_;
};

// The request's identity: refused identifiers belong to it.
std::string RequestKey(const TPlovexSettings& s, const std::vector<Slot>& slots) {
  std::string key = s.Ip + '\n' + s.Community + '\n' + s.SnmpVersion + '\n' + s.SnmpUser;
  for (const Slot& slot : slots) key += '\n' + std::to_string(slot.text) + ' ' + *slot.oid;
  return key;
}

std::vector<Slot> RequestSlots(TPlovexSettings& s, const std::array<bool, 6>& enabled,
                               const std::string& status_oid, std::int64_t now_ms) {
  std::vector<Slot> slots{{0, &s.Oid1.Oid}, {1, &s.Oid2.Oid}};
  for (int i = 1; i <= 5; ++i) {
    if (enabled[i]) slots.push_back({i + 1, &s.Texts[i].Oid});
  }
  if (!s.Interface.empty() || s.AskUptime) slots.push_back({kUptimeSlot, &kSysUpTime});
  if (!status_oid.empty()) slots.push_back({kStatusSlot, &status_oid});
  PollMemory& m = s.SnmpMemory;
  const std::string key = RequestKey(s, slots);
  if (m.RefusedFor != key ||
      (!m.Refused.empty() && now_ms - m.RefusedSinceMs >= kForgetRefusedMs)) {
    m.Refused.clear();
    m.RefusedFor = key;
  }
  std::erase_if(slots, [&m](const Slot& slot) {
    return std::find(m.Refused.begin(), m.Refused.end(), *slot.oid) != m.Refused.end();
  });
  return slots;
}

// Walks overlay 4's column with GetNextRequests (GetBulkRequests in versions
// 2c and 3); `value` keeps the last qualifying address and is left alone when
// none qualifies.
//
// A version 1 walk costs one exchange a row. Its first GetNextRequest
// therefore also carries the rows the last walk asked for: while the table is
// the same, each binding is answered with the row after it and the whole walk
// is one exchange, read as one snapshot. Answers are taken in order only while
// each names the row the next binding asked from; after the first that does
// not, the walk goes on one row at a time from where the answers still agree.
void WalkAddresses(TPlovexSettings& s, TSNMPSend& client, std::string& value,
                   std::int64_t poll_started, const PollInterruption* interruption) {
  const std::string& column = s.Texts[4].Oid;
  const bool bulk = s.SnmpMessageVersion() != ber::kVersion1;
  PollMemory& memory = s.SnmpMemory;
  const std::string key = s.Ip + '\n' + s.Community + '\n' + s.SnmpUser + '\n' + column;
  std::vector<std::string> ahead;
  if (memory.WalkRowsFor != key) memory.WalkRowsRefused = false;
  if (!bulk && memory.WalkRowsFor == key && !memory.WalkRowsRefused) {
    ahead = std::move(memory.WalkRows);
  }
  memory.WalkRows.clear();
  memory.WalkRowsFor = key;
  std::vector<std::string> rows_asked;
  // Only a walk that ran to the end of its column is a guess worth sending.
  const auto remember = [&] {
    if (rows_asked.size() > kMaxWalkAhead) rows_asked.resize(kMaxWalkAhead);
    memory.WalkRows = std::move(rows_asked);
  };

  const auto ask = [&](const std::string& first, const std::vector<std::string>& more) {
    client.Request.Reset();
    client.Request.Version = s.SnmpMessageVersion();
    client.Request.Community = s.Community;
    client.Request.PduType = bulk ? ber::kGetBulkRequest : ber::kGetNextRequest;
    if (bulk) client.Request.ErrorIndex = kBulkRows;  // max-repetitions; no non-repeaters
    client.Request.AddVarBind(first, "", kNullTag);
    for (const std::string& oid : more) client.Request.AddVarBind(oid, "", kNullTag);
  };
  ask(column, ahead);
  const std::string from = CanonicalOid(column);
  std::string asked = from;
  const std::int64_t deadline =
      std::min(client.NowMs() + kWalkBudgetMs, poll_started + kPollBudgetMs);
  for (int rows = 0;;) {
    if (interruption != nullptr && interruption->Requested()) return;
    const std::int64_t left = deadline - client.NowMs();
    if (left <= 0) return;
    client.Timeout = static_cast<std::int32_t>(std::min<std::int64_t>(left, kPollTimeoutMs));
    if (!client.Exchange()) return;
    const auto sent = client.Request.VarBinds();
    if (!bulk && sent.size() > 1 && client.Response.ErrorStatus != 0) {
      // A guessed row the agent has no successor for, at the end of its
      // view, spoils the request this once. An agent that will not answer
      // several bindings at all is not asked so again.
      const TSNMPRec& r = client.Response;
      if (r.ErrorStatus != kNoSuchName || r.ErrorIndex < 2) memory.WalkRowsRefused = true;
      const std::string first = sent[0].Oid;
      ask(first, {});
      continue;
    }
    if (client.Response.VarBinds().empty()) return;
    // A GetNextRequest is answered binding by binding, a GetBulkRequest by
    // the rows that follow its one binding, in order.
    const auto answers = client.Response.VarBinds();
    const std::size_t usable = bulk ? answers.size() : std::min(answers.size(), sent.size());
    for (std::size_t i = 0; i < usable; ++i) {
      if (!bulk && i > 0 && sent[i].Oid != asked) break;  // the table changed under the guess
      const TSNMPMib& next = answers[i];
      if (next.Tag == ber::kEndOfMibView) return;
      // A version 1 agent says so with an error at the end of its view.
      if (!bulk && client.Response.ErrorStatus != 0) return remember();
      if (!bulk && asked != from) rows_asked.push_back(asked);
      if (next.Oid.find(column) == std::string::npos) return remember();  // past the column
      // An agent that answers with what was asked, or with an earlier row,
      // would keep the walk going forever.
      if (CompareOids(next.Oid, asked) <= 0) return;
      if (next.Value.find(s.Ip) == std::string::npos &&
          next.Value.find("0.0.0.0") == std::string::npos) {
        value = next.Value;
      }
      if (++rows == kMaxWalkRows) return;
      asked = next.Oid;
    }
    ask(asked, {});
  }
}

// While the host is silent, whether this poll may try it again.
bool RetryDue(PollMemory& m, std::int64_t now_ms) { return now_ms >= m.RetryAtMs; }

void NoteSilence(TPlovexSettings& s, std::int64_t now_ms, const Status& why) {
  PollMemory& m = s.SnmpMemory;
  // A socket that failed reads, for the user, as silence.
  const bool silent = why.code() == StatusCode::kTimedOut || why.code() == StatusCode::kIoError;
  m.FailureReason = silent ? "" : why.message();
  m.FailureCode = silent ? StatusCode::kTimedOut : why.code();
  m.RetryDelayMs = s.SnmpFailed ? std::min(m.RetryDelayMs * 2, kLongestRetryMs) : kFirstRetryMs;
  m.RetryAtMs = now_ms + m.RetryDelayMs;
  m.SilentTries = s.SnmpFailed ? m.SilentTries + 1 : 1;
  s.SnmpFailed = true;
}

void NoteAnswerAfterSilence(TPlovexSettings& s) {
  s.SnmpFailed = false;
  s.SnmpMemory.RetryAtMs = 0;
  s.SnmpMemory.RetryDelayMs = 0;
  s.SnmpMemory.FailureReason.clear();
  s.SnmpMemory.FailureCode = StatusCode::kOk;
  s.SnmpMemory.SilentTries = 0;
  s.Oid1.NewBaseline = true;
  s.Oid2.NewBaseline = true;
}

}  // namespace

bool PollAgent(TPlovexSettings& s, TSNMPSend& client, const Status& security, PollTexts& texts,
               const PollInterruption* interruption) {
  for (std::string& t : texts) t.clear();
  const bool retrying = s.SnmpFailed;
  if (retrying) {
    if (!RetryDue(s.SnmpMemory, client.NowMs())) return false;
    s.SnmpMemory.Refused.clear();  // the agent may have restarted with other objects
  }

  // texts[0], texts[1]: the counters; texts[i + 1]: overlay i.
  std::array<bool, 6> enabled{};
  for (int i = 1; i <= 5; ++i) enabled[i] = s.Texts[i].Enabled;

  const std::int64_t started = client.NowMs();
  s.SnmpMemory.Uptime.clear();
  s.SnmpMemory.InterfaceStatus.clear();
  const std::string status_oid = s.Interface.empty() ? "" : OperStatusOid(s.Oid1.Oid).value_or("");
  SharedRequest request(s, client, texts, interruption);
  const bool usable = security.ok();
  const bool answered = usable && request.Run(RequestSlots(s, enabled, status_oid, client.NowMs()));
  if (!answered) {
    NoteSilence(s, client.NowMs(), usable ? client.LastStatus() : security);
    // A host that stays silent is not news: the overlays keep their empty texts.
    if (retrying) return false;
  } else if (retrying) {
    NoteAnswerAfterSilence(s);
  }

  std::string& address = texts[5];
  if (enabled[4] && s.Texts[4].Kind == "NextAdp" && !s.SnmpFailed) {
    WalkAddresses(s, client, address, started, interruption);
  } else {
    address.clear();
  }

  StoreReading(s.Oid1, texts[0]);
  StoreReading(s.Oid2, texts[1]);

  for (int i = 1; i <= 5; ++i) {
    std::string& value = texts[i + 1];
    if (value.empty()) {
      value = "N/A";
    } else if (s.Texts[i].Kind == "Time") {
      value = FormatUptime(DecimalInt64(value));
    }
  }
  return answered;
}

}  // namespace plovex
