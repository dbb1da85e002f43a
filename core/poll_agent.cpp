#include "core/poll_agent.h"

#include "core/format_uptime.h"
#include "core/int_text.h"
#include "core/plovex_error.h"
#include "snmp/ber_format.h"

namespace plovex {

namespace {

constexpr std::int32_t kPollTimeoutMs = 1000;
constexpr std::int32_t kNullTag = ber::kNull;
// Bounds the walk of an agent that keeps answering inside the column.
constexpr int kMaxWalkRows = 10000;

// Values from the agent are decimal integers or they are wrong: unlike the
// settings' conversion, no blanks and no hexadecimal, so an address or a
// text such as "x10" is reported rather than read as a number.
std::int64_t DecimalInt64(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) throw PlovexError(NotAValidIntegerMessage(text));
  const std::uint64_t limit = negative ? 0x8000000000000000ULL : 0x7FFFFFFFFFFFFFFFULL;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const unsigned d = static_cast<unsigned char>(text[i]) - '0';
    if (d > 9 || magnitude > (limit - d) / 10) throw PlovexError(NotAValidIntegerMessage(text));
    magnitude = magnitude * 10 + d;
  }
  return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
}

void StoreReading(OidChannel& channel, const std::string& text) {
  if (text.empty()) return;
  channel.PrevValue = channel.Value;
  channel.Value = DecimalInt64(text);
}

// Walks overlay 4's column with GetNextRequests; `value` keeps the last
// qualifying address and is left alone when none qualifies.
void WalkAddresses(const TPlovexSettings& s, TSNMPSend& client, std::string& value) {
  const std::string& column = s.Texts[4].Oid;
  client.Request.Reset();
  client.Request.Community = s.Community;
  client.Request.PduType = ber::kGetNextRequest;
  client.Request.AddVarBind(column, "", kNullTag);
  std::string asked = column;
  bool answered = client.Exchange();
  for (int rows = 1; answered; ++rows) {
    if (client.Response.VarBinds().empty()) return;
    const TSNMPMib& next = client.Response.VarBinds()[0];
    if (next.Oid.find(column) == std::string::npos) return;  // past the column
    if (next.Oid == asked) return;  // the agent does not advance (an error echo)
    if (next.Value.find(s.Ip) == std::string::npos &&
        next.Value.find("0.0.0.0") == std::string::npos) {
      value = next.Value;
    }
    if (rows == kMaxWalkRows) return;
    asked = next.Oid;
    client.Request.DeleteVarBind(0);
    client.Request.AddVarBind(asked, "", kNullTag);
    answered = client.Exchange();
  }
}

}  // namespace

bool PollAgent(TPlovexSettings& s, TSNMPSend& client, PollTexts& texts) {
  for (std::string& t : texts) t.clear();
  if (s.SnmpFailed) return false;

  // texts[0], texts[1]: the counters; texts[i + 1]: overlay i.
  std::array<bool, 6> enabled{};
  for (int i = 1; i <= 5; ++i) enabled[i] = s.Texts[i].Enabled;

  client.Request.Reset();
  client.Host = s.Ip;
  client.Request.Community = s.Community;
  client.Request.PduType = ber::kGetRequest;
  client.Timeout = kPollTimeoutMs;
  client.Request.AddVarBind(s.Oid1.Oid, "", kNullTag);
  client.Request.AddVarBind(s.Oid2.Oid, "", kNullTag);
  for (int i = 1; i <= 5; ++i) {
    if (enabled[i]) client.Request.AddVarBind(s.Texts[i].Oid, "", kNullTag);
  }

  const bool answered = client.Exchange();
  if (answered) {
    texts[0] = client.Response.FindValue(s.Oid1.Oid);
    texts[1] = client.Response.FindValue(s.Oid2.Oid);
    for (int i = 1; i <= 5; ++i) {
      if (enabled[i]) texts[i + 1] = client.Response.FindValue(s.Texts[i].Oid);
    }
  } else {
    s.SnmpFailed = true;
  }

  std::string& address = texts[5];
  if (enabled[4] && s.Texts[4].Kind == "NextAdp" && !s.SnmpFailed) {
    WalkAddresses(s, client, address);
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
