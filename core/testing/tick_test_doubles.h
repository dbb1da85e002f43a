#pragma once
// In-memory stand-ins for the tick's seams, shared by the tick's tests and
// benchmark: a host that records what the tick shows, a poll that hands out
// scripted readings the way the real poll stores them, and a picture writer
// that keeps copies instead of writing files.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/picture_writer.h"
#include "core/plovex_error.h"
#include "core/poll_source.h"
#include "core/testing/manual_clock.h"
#include "core/tick_cycle.h"
#include "core/tick_host.h"
#include "image/font.h"

namespace plovex {

class RecordingTickHost : public TickHost {
 public:
  bool save_gif_checked = true;
  std::string lbl_rst_oid1, lbl_rst_oid2, hint;
  std::vector<std::string> hints;
  int icon_updates = 0;
  int totals_saved = 0;
  std::optional<Surface> icon;
  // Every fault report and clearing, as "report 0: message" / "clear 0".
  std::vector<std::string> faults;
  std::vector<std::string> snapshots;

  bool SaveGifChecked() const override { return save_gif_checked; }
  void SetResetCaptions(const std::string& a, const std::string& b) override {
    lbl_rst_oid1 = a;
    lbl_rst_oid2 = b;
  }
  void SetTrayHint(const std::string& h) override {
    hint = h;
    hints.push_back(h);
  }
  void SetTrayIcon(const Surface& tray) override {
    ++icon_updates;
    icon = tray;
  }
  void SaveTotals() override { ++totals_saved; }
  void ReportFault(TickFault kind, const Status& status) override {
    faults.push_back("report " + std::to_string(static_cast<int>(kind)) + ": " + status.message());
  }
  void ClearFault(TickFault kind) override {
    faults.push_back("clear " + std::to_string(static_cast<int>(kind)));
  }
  void SnapshotWritten(const std::string& path) override { snapshots.push_back(path); }
};

// Each Poll takes the next scripted reading pair (a missing reading gives an
// empty counter text, as a failed or partial poll does) and the overlay
// values; past the end of the script the last entry repeats.
class ScriptedPoll : public PollSource {
 public:
  struct Reading {
    std::optional<std::int64_t> counter1, counter2;
  };
  std::vector<Reading> script;
  std::array<std::string, 5> overlay_values{"v1", "v2", "v3", "v4", "v5"};
  std::optional<std::string> fail_with;  // throw this instead of polling
  // The host gives no readings, for this reason (kTimedOut: plain silence).
  std::optional<std::pair<StatusCode, std::string>> silent;
  int polls = 0;
  int configures = 0;

  void Configure(const TPlovexSettings&) override { ++configures; }

  PollTexts Poll(TPlovexSettings& s) override {
    if (fail_with) throw PlovexError(*fail_with);
    PollTexts texts;
    if (silent || made_silent_) {
      // The host answers again once the script says so.
      s.SnmpFailed = made_silent_ = silent.has_value();
      s.SnmpMemory.FailureCode = silent ? silent->first : StatusCode::kOk;
      s.SnmpMemory.FailureReason = silent ? silent->second : "";
      if (silent) return texts;
    }
    const Reading r =
        script.empty() ? Reading{} : script[std::min<std::size_t>(polls, script.size() - 1)];
    ++polls;
    if (r.counter1) {
      s.Oid1.PrevValue = s.Oid1.Value;
      s.Oid1.Value = *r.counter1;
      texts[0] = std::to_string(*r.counter1);
    }
    if (r.counter2) {
      s.Oid2.PrevValue = s.Oid2.Value;
      s.Oid2.Value = *r.counter2;
      texts[1] = std::to_string(*r.counter2);
    }
    for (int i = 0; i < 5; ++i) texts[2 + i] = overlay_values[i];
    return texts;
  }

 private:
  bool made_silent_ = false;
};

class RecordingPictureWriter : public PictureWriter {
 public:
  struct Call {
    std::vector<std::string> names;
    Surface picture;
  };
  std::vector<Call> calls;
  std::optional<std::string> fail_on;  // a name whose write fails

  Status Save(const Surface& picture, const std::vector<std::string>& names) override {
    for (const std::string& n : names)
      if (fail_on && n == *fail_on)
        return Status::CannotCreate(n + " cannot be written in /srv/x: permission denied", 13);
    calls.push_back({names, picture});
    return Status();
  }
  std::string PathOf(const std::string& name) const override { return "/srv/x/" + name; }
};

// A complete tick on the defaults (Refresh 1, MaxBytes 64000, graph 0,12 to
// 400,147) with every seam replaced, the real Arial, and a 400 x 160 picture.
struct TickRig {
  static Font* Arial() {
    static std::unique_ptr<Font> font = Font::Find("Arial");
    return font.get();
  }
  TickRig() { ApplyDefaultSettings(s); }

  TPlovexSettings s;
  Surface picture{kPictureWidth, kPictureHeight};
  RecordingTickHost host;
  ManualClock clock;
  ScriptedPoll poll;
  RecordingPictureWriter writer;
  TickCycle cycle{s, picture, host, clock, poll, writer, Arial()};
};

}  // namespace plovex
