#include "core/interface_follower.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "core/column_walk.h"
#include "core/interface_table.h"

namespace plovex {
namespace {

constexpr std::int64_t kFirstRetryMs = 2000;
constexpr std::int64_t kLongestRetryMs = 60000;
// The lookup runs inside a tick: it may not hold the window long.
constexpr std::int64_t kLookupBudgetMs = 1000;

const std::string kLookupColumns[] = {"1.3.6.1.2.1.31.1.1.1.1", "1.3.6.1.2.1.2.2.1.2",
                                      "1.3.6.1.2.1.2.2.1.8"};

std::optional<std::int64_t> Decimal(const std::string& text) {
  std::int64_t v = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || p != end) return std::nullopt;
  return v;
}

// The index the counter identifier names, when it is an interface counter.
std::optional<std::int32_t> IndexOf(const std::string& oid) {
  const std::size_t dot = oid.rfind('.');
  if (dot == std::string::npos || !WithInterfaceIndex(oid, 1)) return std::nullopt;
  const auto index = Decimal(oid.substr(dot + 1));
  if (!index) return std::nullopt;
  return static_cast<std::int32_t>(*index);
}

}  // namespace

Result<FoundInterface> FindInterface(const TPlovexSettings& s, TSNMPSend& client,
                                     const std::string& name,
                                     const PollInterruption* interruption) {
  struct Row {
    bool named = false, described = false, up = false;
  };
  std::map<std::int32_t, Row> rows;
  const Status walked =
      WalkColumns(s, client, kLookupColumns,
                  [&](std::size_t column, const std::string& index, const TSNMPMib& b) {
                    const auto i = Decimal(index);
                    if (!i || *i <= 0 || *i > INT32_MAX) return;
                    Row& row = rows[static_cast<std::int32_t>(*i)];
                    if (column == 0) row.named = b.Value == name;
                    if (column == 1) row.described = b.Value == name;
                    if (column == 2) row.up = b.Value == "1";
                  },
                  {.budget_ms = kLookupBudgetMs, .interruption = interruption});
  if (!walked.ok()) return walked;
  // Names first; a description only where the agent has no ifName for it.
  const bool any_named =
      std::any_of(rows.begin(), rows.end(), [](const auto& r) { return r.second.named; });
  std::optional<std::int32_t> best;
  bool best_up = false;
  for (const auto& [index, row] : rows) {
    if (!(any_named ? row.named : row.described)) continue;
    // In index order: a later row wins unless it is down and the best is up.
    if (!best || row.up || !best_up) {
      best = index;
      best_up = row.up;
    }
  }
  if (!best) return Status::NotFound("no interface named \"" + name + "\"");
  return FoundInterface{*best, best_up};
}

std::optional<std::string> WithInterfaceIndex(const std::string& oid, std::int32_t index) {
  const std::size_t dot = oid.rfind('.');
  if (dot == std::string::npos || dot + 1 == oid.size()) return std::nullopt;
  const std::string column = oid.substr(0, dot);
  if (column != kIfInOctets && column != kIfOutOctets && column != kIfHCInOctets &&
      column != kIfHCOutOctets) {
    return std::nullopt;
  }
  if (!Decimal(oid.substr(dot + 1))) return std::nullopt;
  return column + "." + std::to_string(index);
}

std::optional<std::string> OperStatusOid(const std::string& counter_oid) {
  const std::optional<std::int32_t> index = IndexOf(counter_oid);
  if (!index) return std::nullopt;
  return "1.3.6.1.2.1.2.2.1.8." + std::to_string(*index);
}

void InterfaceFollower::Restart() {
  due_ = true;
  next_try_ms_ = 0;
  delay_ms_ = 0;
  uptime_.reset();
}

std::optional<std::string> InterfaceFollower::AfterPoll(TPlovexSettings& s, TSNMPSend& client,
                                                        const PollOutcome& poll,
                                                        const PollInterruption* interruption) {
  if (s.Interface != name_) {
    Restart();
    name_ = s.Interface;
  }
  if (s.Interface.empty() || !poll.answered) return std::nullopt;
  if (const auto uptime = Decimal(poll.uptime)) {
    if (uptime_ && *uptime < *uptime_) {
      // The agent restarted: its counters began again, so the growth against
      // the last reading is no traffic, and its interfaces may be renumbered.
      due_ = true;
      s.Oid1.NewBaseline = s.Oid2.NewBaseline = true;
    }
    uptime_ = uptime;
  }
  const bool down = !poll.status.empty() && poll.status != "1";
  if (poll.counter_missing || poll.counter_went_back || down) due_ = true;
  const std::int64_t now = client.NowMs();
  if (!due_ || now < next_try_ms_) return std::nullopt;

  const Result<FoundInterface> found = FindInterface(s, client, s.Interface, interruption);
  if (!found || !found->up) {
    delay_ms_ = delay_ms_ == 0 ? kFirstRetryMs : std::min(delay_ms_ * 2, kLongestRetryMs);
    next_try_ms_ = client.NowMs() + delay_ms_;
  } else {
    due_ = false;
    delay_ms_ = 0;
    next_try_ms_ = 0;
  }
  if (!found) return std::nullopt;
  const std::int32_t index = found->index;
  const auto oid1 = WithInterfaceIndex(s.Oid1.Oid, index);
  const auto oid2 = WithInterfaceIndex(s.Oid2.Oid, index);
  const bool moves =
      (oid1 && IndexOf(s.Oid1.Oid) != index) || (oid2 && IndexOf(s.Oid2.Oid) != index);
  if (!moves) return std::nullopt;
  for (int k = 1; k <= 2; ++k) {
    OidChannel& c = s.Channel(k);
    if (const auto moved = k == 1 ? oid1 : oid2) c.Oid = *moved;
    // The next reading is another counter's: no rate against this one.
    c.NewBaseline = true;
  }
  return s.Interface + " is now interface " + std::to_string(index);
}

}  // namespace plovex
