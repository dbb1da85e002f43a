#include "core/notice_rules.h"

#include "core/format_rate.h"

namespace plovex {

namespace {

const char* ChannelWord(int k) { return k == 1 ? "Download" : "Upload"; }

}  // namespace

std::string FormatDuration(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  struct Unit {
    std::int64_t seconds;
    const char* name;
  };
  static constexpr Unit kUnits[] = {{86400, "d"}, {3600, "h"}, {60, "min"}, {1, "s"}};
  for (std::size_t i = 0; i + 1 < std::size(kUnits); ++i) {
    const std::int64_t big = seconds / kUnits[i].seconds;
    if (big == 0) continue;
    const std::int64_t small = seconds % kUnits[i].seconds / kUnits[i + 1].seconds;
    std::string text = std::to_string(big) + " " + kUnits[i].name;
    if (small != 0) text += " " + std::to_string(small) + " " + kUnits[i + 1].name;
    return text;
  }
  return std::to_string(seconds) + " s";
}

std::vector<Notice> NoticeRules::AfterTick(const TPlovexSettings& s, const TickOutcome& t) {
  std::vector<Notice> notices;
  if (std::optional<Notice> n = HostNotice(s, t)) notices.push_back(std::move(*n));
  for (int k = 1; k <= 2; ++k) {
    if (std::optional<Notice> n = RateNotice(s, t, k)) notices.push_back(std::move(*n));
  }
  return notices;
}

std::optional<Notice> NoticeRules::HostNotice(const TPlovexSettings& s, const TickOutcome& t) {
  if (s.NotifyDownPolls <= 0) {
    silent_since_.reset();
    down_told_ = false;
    return std::nullopt;
  }
  if (t.answered) {
    const std::optional<std::int64_t> since = silent_since_;
    silent_since_.reset();
    if (!down_told_) return std::nullopt;
    down_told_ = false;
    return Notice{NoticeKind::kHost, s.Ip + " answers again",
                  "answered again after " + FormatDuration(t.now - since.value_or(t.now))};
  }
  if (t.silent_tries <= 0) return std::nullopt;
  if (!silent_since_) silent_since_ = t.now;
  if (down_told_ || t.silent_tries < s.NotifyDownPolls) return std::nullopt;
  down_told_ = true;
  const std::string& reason = s.SnmpMemory.FailureReason;
  return Notice{NoticeKind::kHost, s.Ip + " does not answer",
                "no answer to " + std::to_string(t.silent_tries) + " polls in a row" +
                    (reason.empty() ? "" : ": " + reason)};
}

std::optional<Notice> NoticeRules::RateNotice(const TPlovexSettings& s, const TickOutcome& t,
                                              int k) {
  Rate& r = rates_[static_cast<std::size_t>(k - 1)];
  const std::int64_t limit = s.NotifyRateAbove;
  if (limit <= 0) {
    r = Rate{};
    return std::nullopt;
  }
  const std::optional<std::int64_t>& rate = t.rates[static_cast<std::size_t>(k - 1)];
  const NoticeKind kind = k == 1 ? NoticeKind::kRate1 : NoticeKind::kRate2;
  if (r.told) {
    // Below 90 % of the limit, in whole numbers: rate / limit < 9 / 10.
    if (!rate || *rate * 10 >= limit * 9) return std::nullopt;
    r = Rate{};
    return Notice{kind, std::string(ChannelWord(k)) + " back below " + FormatRate(limit * 9 / 10),
                  "now " + FormatRate(*rate)};
  }
  // A tick without a rate breaks the run: the traffic in the gap is unknown.
  if (!rate || *rate <= limit) {
    r.above_since.reset();
    return std::nullopt;
  }
  // The rate is that of the interval before this tick.
  if (!r.above_since) r.above_since = t.now - s.Refresh;
  const std::int64_t lasted = t.now - *r.above_since;
  if (lasted < s.NotifyRateSeconds) return std::nullopt;
  r.told = true;
  return Notice{kind, std::string(ChannelWord(k)) + " above " + FormatRate(limit),
                FormatRate(*rate) + " now, above the limit for " + FormatDuration(lasted)};
}

int CapShare(const UsageReport& r) {
  if (r.cap_bytes <= 0) return 0;
  // used >= cap * tenths / 10, without multiplying a byte count: the cap split
  // into whole tenths and the rest.
  const std::int64_t used = r.total(), tenth = r.cap_bytes / 10, rest = r.cap_bytes % 10;
  for (int tenths : {10, 9, 8}) {
    if (used - tenths * tenth >= (tenths * rest + 9) / 10) return tenths * 10;
  }
  return 0;
}

std::optional<Notice> CapNotice(const UsageReport& r, int told) {
  const int share = CapShare(r);
  if (share <= told) return std::nullopt;
  const std::string summary = share == 100 ? std::string("Usage has reached the cap")
                                           : "Usage at " + std::to_string(share) + " % of the cap";
  return Notice{NoticeKind::kCap, summary,
                FormatBytes(r.total()) + " of " + FormatBytes(r.cap_bytes) + " used, " +
                    FormatBytes(r.left_bytes) + " left for " + std::to_string(r.days_left) +
                    (r.days_left == 1 ? " day" : " days")};
}

}  // namespace plovex
