#include "core/tick_cycle.h"

#include "core/format_rate.h"
#include "core/plovex_error.h"
#include "core/poll_fault.h"
#include "core/traffic_accounting.h"

namespace plovex {

std::string NoAnswerText(const TPlovexSettings& s) {
  const std::string& reason = s.SnmpMemory.FailureReason;
  return "no answer from " + s.Ip + (reason.empty() ? "" : ": " + reason);
}

std::string TrayHint(const TPlovexSettings& s, const PollTexts& texts) {
  const auto rate = [&](int k) {
    return texts[k - 1].empty() ? std::string("- kB/s") : FormatRate(s.Channel(k).Rate);
  };
  std::string hint = rate(1) + " / " + rate(2);
  if (s.SnmpFailed) hint += " (" + NoAnswerText(s) + ")";
  return hint;
}

std::string TimeStampedFileName(int hour, int minute) {
  return "Plovex " + std::to_string(hour) + "h" + std::to_string(minute) + "m.gif";
}

TickCycle::TickCycle(TPlovexSettings& settings, Surface& picture, TickHost& host,
                     const Clock& clock, PollSource& poll, PictureWriter& writer, Font* font)
    : s_(settings),
      host_(host),
      clock_(clock),
      poll_(poll),
      writer_(writer),
      picture_(picture),
      renderer_(settings, picture, font) {}

void TickCycle::Start() {
  poll_.Configure(s_);
  s_.SnmpFailed = false;
  s_.SnmpMemory = PollMemory{};
  s_.Restart = true;
  Tick();
}

void TickCycle::Tick() {
  const PollTexts texts = poll_.Poll(s_);
  Note(TickFault::kNoAnswer, PollFault(s_));

  renderer_.BeginTick();
  if (s_.GraphLabel) renderer_.DrawScaleStrip(s_.Restart);
  renderer_.MeasureRateLabelBoxes();
  renderer_.ScrollGraph();
  const LocalTime now = clock_.Local();
  renderer_.ScrollTray();

  bool tick_column;
  if (s_.TickFreq == 1) {
    tick_column = now.second == 0;
  } else {
    if (s_.TickFreq == 0) throw PlovexError("Division by zero");
    tick_column = now.minute % s_.TickFreq == 0;
  }
  if (s_.VTicks && s_.Restart) renderer_.DrawTimeTicks(now, s_.TickFreq);
  renderer_.DrawNewColumn(s_.VTicks && tick_column);
  if (s_.HTicks) renderer_.DrawLevelMarks(s_.Restart);
  renderer_.EraseRateLabels();

  counted_ = {};
  sampled_ = {};
  if (!texts[0].empty()) AccountAndDraw(1);
  if (!texts[1].empty()) AccountAndDraw(2);
  if (usage_ != nullptr) {
    const Result<std::int64_t> cap = ParseCapBytes(s_.UsageCap);
    usage_->SetBilling(s_.UsageResetDay, cap.ok() ? *cap : 0);
    usage_->Add(MakeUsageKey(s_.Ip, s_.Interface, s_.Oid1.Oid, s_.Oid2.Oid), clock_.UnixSeconds(),
                counted_[0], counted_[1], s_.Refresh);
  }
  if (notifier_ != nullptr) Notify();

  DrawTotals();
  renderer_.DrawOverlays(texts);

  host_.SetTrayHint(TrayHint(s_, texts));
  host_.SetTrayIcon(s_.TrayBitmap);

  SavePictures(now);
  s_.Restart = false;
}

void TickCycle::AccountAndDraw(int k) {
  OidChannel& c = s_.Channel(k);
  if (s_.Restart) {
    c.PrevValue = c.Value;
    c.Wide = false;  // the counter may be another one now
  }
  constexpr std::int64_t k32BitRange = std::int64_t{1} << 32;
  if (c.Value >= k32BitRange || c.PrevValue >= k32BitRange) c.Wide = true;
  if (c.Value < c.PrevValue) {
    // The carried-over megabytes are what the old run of the counter reached;
    // they are saved at once so that a crash does not lose them.
    c.Total = SaturatingAdd(c.Total, c.PrevValue / kMegabyte);
    host_.SaveTotals();
  }
  if (c.NewBaseline && !s_.Restart) {
    // The growth since the last reading spans the host's silence: no rate of
    // one interval, so this column gets no sample.
    c.NewBaseline = false;
    c.Rate = 0;
    return;
  }
  c.NewBaseline = false;
  if (!s_.Restart)
    counted_[k - 1] = IntervalBytes(c.PrevValue, c.Value, s_.Refresh, s_.MaxBytes, c.Wide);
  c.Rate = IntervalRate(c.PrevValue, c.Value, s_.Refresh, s_.MaxBytes, c.Wide);
  const std::int64_t h = ScaledHeight(c.Rate, s_.MaxBytes, renderer_.GraphHeight());
  const std::int64_t t = ScaledHeight(c.Rate, s_.MaxBytes, kTrayBitmapSize - 1);
  if (!s_.Restart) {
    sampled_[k - 1] = true;
    renderer_.DrawSample(k, h, t);
  }
}

std::string ResetCaption(const TPlovexSettings& s, int k) {
  const OidChannel& c = s.Channel(k);
  return (k == 1 ? "Down " : "Up ") + std::to_string(SaturatingAdd(c.Value / kMegabyte, c.Total)) +
         "MB";
}

void TickCycle::DrawTotals() {
  const std::string text1 = ResetCaption(s_, 1);
  const std::string text2 = ResetCaption(s_, 2);
  host_.SetResetCaptions(text1, text2);
  if (s_.ShowTotal) renderer_.DrawTotals(text1, text2);
}

void TickCycle::SavePictures(const LocalTime& now) {
  if (host_.SaveGifChecked()) {
    // A copy that could not be written is tried again with the next
    // picture until it is, or until the next one is due.
    if (s_.SaveGifFreq > 0 && now.minute % s_.SaveGifFreq == 0 && now.second == 0)
      pending_copy_ = TimeStampedFileName(now.hour, now.minute);
    std::vector<std::string> names{kPictureFileName};
    if (!pending_copy_.empty()) names.push_back(pending_copy_);
    const Status saved = writer_.Save(picture_, names);
    if (saved.ok()) pending_copy_.clear();
    Note(TickFault::kPictureFile, saved);
  } else {
    pending_copy_.clear();
    Note(TickFault::kPictureFile, Status());
  }
  if (s_.SnapshotPending) {
    const Status saved = writer_.Save(picture_, {kSnapshotFileName});
    Note(TickFault::kSnapshotFile, saved);
    if (saved.ok()) {
      s_.SnapshotPending = false;
      host_.SnapshotWritten(writer_.PathOf(kSnapshotFileName));
    }
  }
}

void TickCycle::Notify() {
  TickOutcome t;
  t.now = clock_.UnixSeconds();
  // A poll while the host answers always goes out: not failed means answered.
  t.answered = !s_.SnmpFailed;
  t.silent_tries = s_.SnmpMemory.SilentTries;
  for (int k = 1; k <= 2; ++k) {
    if (sampled_[k - 1]) t.rates[k - 1] = s_.Channel(k).Rate;
  }
  for (const Notice& notice : rules_.AfterTick(s_, t)) notifier_->Show(notice);
  if (s_.NotifyCap && usage_ != nullptr) {
    const UsageReport& r = usage_->Usage(t.now);
    const int share = CapShare(r);
    if (share > 0) {
      if (std::optional<Notice> notice = CapNotice(r, usage_->CapTold(r.period.start))) {
        usage_->SetCapTold(r.period.start, share);
        notifier_->Show(*notice);
      }
    }
  }
}

void TickCycle::Note(TickFault kind, const Status& status) {
  Status& reported = faults_[static_cast<std::size_t>(kind)];
  if (status == reported) return;
  if (status.ok()) {
    host_.ClearFault(kind);
  } else {
    host_.ReportFault(kind, status);
  }
  reported = status;
}

}  // namespace plovex
