#pragma once
// NoticeRules: when a monitor that is rarely looked at speaks up. After every
// tick it is told what the poll and the accounting found; it answers with the
// notices that are due, each of a kind whose newer notice takes the place of
// the older one on the desktop (the host's "answers again" replaces its "does
// not answer").
//
//   - The host: a notice once NotifyDownPolls tries in a row went unanswered
//     (so one lost datagram never raises it), and, only after such a notice,
//     one when it answers again, with how long it was silent.
//   - Each channel: a notice when its rate stayed above NotifyRateAbove for
//     NotifyRateSeconds, and one when it drops below 90 % of that; the gap
//     keeps a rate that hovers at the threshold from raising a notice a tick.
//   - The cap: the highest of 80, 90 and 100 % that the period's usage has
//     reached, each told once per billing period (CapNotice; the caller keeps
//     what was told in the usage store, so a restart does not tell it again).
//
// A setting at 0 (NotifyCap off) silences its kind; the rules read the
// settings at every tick, so an Apply takes effect at the next one. Plain
// values only: no clock, no I/O, never throws.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/plovex_settings.h"
#include "history/usage_period.h"

namespace plovex {

enum class NoticeKind : std::uint8_t { kHost, kRate1, kRate2, kCap };
constexpr std::size_t kNoticeKinds = 4;

struct Notice {
  NoticeKind kind = NoticeKind::kHost;
  std::string summary;  // one line: "127.0.0.1 does not answer"
  std::string body;     // what more there is to say, also one line

  bool operator==(const Notice&) const = default;
};

// What one tick found.
struct TickOutcome {
  std::int64_t now = 0;  // Unix seconds
  bool answered = false;
  std::int32_t silent_tries = 0;  // unanswered tries in a row (PollMemory::SilentTries)
  // The rate each channel had over this tick's interval; none on a new
  // baseline, without a reading or after a silence.
  std::array<std::optional<std::int64_t>, 2> rates;
};

class NoticeRules {
 public:
  std::vector<Notice> AfterTick(const TPlovexSettings& s, const TickOutcome& t);

 private:
  struct Rate {
    std::optional<std::int64_t> above_since;  // the start of the interval first above
    bool told = false;
  };
  std::optional<Notice> HostNotice(const TPlovexSettings& s, const TickOutcome& t);
  std::optional<Notice> RateNotice(const TPlovexSettings& s, const TickOutcome& t, int k);

  std::optional<std::int64_t> silent_since_;
  bool down_told_ = false;
  std::array<Rate, 2> rates_;
};

// 80, 90 or 100: the highest share of the cap the report's period has used;
// 0 below 80 % or without a cap.
int CapShare(const UsageReport& r);

// The notice for the report when its share is above `told`, the share last
// told for this period (0 for none).
std::optional<Notice> CapNotice(const UsageReport& r, int told);

// "45 s", "2 min 5 s", "1 h 3 min", "2 d 4 h": the two largest units.
std::string FormatDuration(std::int64_t seconds);

}  // namespace plovex
