#pragma once
// TickCycle: the heartbeat of the monitor. One Tick polls the host, turns the
// two counter readings into rates and carried-over totals, advances the
// picture and the tray miniature by one column and draws on them, updates the
// tray hint and icon, and writes the pictures that are due. Start is the part
// of the window's Start button that the desktop window and the headless
// runner share: a fresh baseline and one tick at once.
//
// Ownership: the caller owns everything passed in (the settings record, the
// 400 x 160 picture, the host, the clock, the poll and the picture writer, the
// font) and keeps it alive as long as the TickCycle. A null font means no text
// is drawn; the graph still is.
//
// Failure: Tick catches nothing. A PlovexError from the poll, from the checked
// arithmetic ("Division by zero" for a zero Refresh or TickFreq, "Floating
// point division by zero" / "Invalid floating point operation" for a zero
// MaxBytes) or from SaveTotals abandons the rest of the tick where it
// happened: Restart stays set, and a snapshot whose turn did not come stays
// pending. What was drawn before the failure stays drawn.
//
// A picture that cannot be written stops nothing: the tick reports the fault
// to its host once (TickHost::ReportFault) and goes on; the picture, a
// time-stamped copy that was due and a snapshot asked for are tried again at
// every tick until they are written, and the fault is cleared then. A host
// that gives no readings is a fault the same way (PollFault), reported when
// the poll finds it and cleared when the host answers again.
#include <array>
#include <cstdint>
#include <string>

#include "core/clock.h"
#include "core/graph_renderer.h"
#include "core/notice_rules.h"
#include "core/notifier.h"
#include "core/picture_writer.h"
#include "core/plovex_settings.h"
#include "core/poll_source.h"
#include "core/tick_host.h"
#include "history/usage_recorder.h"
#include "image/font.h"
#include "image/surface.h"

namespace plovex {

constexpr int kPictureWidth = 400;
constexpr int kPictureHeight = 160;

inline const char* const kPictureFileName = "Plovex.gif";
inline const char* const kSnapshotFileName = "PlovexSnapShot.gif";

// "Plovex 9h5m.gif": the time-stamped copy's name, hours and minutes without
// zero padding.
std::string TimeStampedFileName(int hour, int minute);

// "no answer from <Ip>", and after ": " why, when the poll knows more than
// that the host is silent ("no answer from 10.0.0.1: unknown user").
std::string NoAnswerText(const TPlovexSettings& s);

// The tray icon's hint: the two rates ("12.5 kB/s / 3.0 kB/s"), and while the
// host does not answer, " (" NoAnswerText ")" after them. A counter that this
// tick's poll did not read (its text in `texts` is empty) shows "- kB/s":
// its last rate says nothing of the traffic now.
std::string TrayHint(const TPlovexSettings& s, const PollTexts& texts);

// The caption of LblRstOID1 or LblRstOID2 for channel k: "Down 13MB",
// "Up 2MB", the device's count plus the carried-over total.
std::string ResetCaption(const TPlovexSettings& s, int k);

class TickCycle {
 public:
  TickCycle(TPlovexSettings& settings, Surface& picture, TickHost& host, const Clock& clock,
            PollSource& poll, PictureWriter& writer, Font* font);
  TickCycle(const TickCycle&) = delete;
  TickCycle& operator=(const TickCycle&) = delete;

  // One tick, every step in order. Throws PlovexError as described above.
  void Tick();

  // The poll configured for the settings as they are now (Start follows every
  // load and every Apply that changes how the agent is spoken to), SnmpFailed
  // := false, Restart := true, then one Tick (which may throw).
  void Start();

  // Each tick from now on gives the recorder the bytes it counted (none on a
  // new baseline, after a silence, on a reset); null stops that.
  void SetUsageRecorder(UsageRecorder* recorder) { usage_ = recorder; }

  // Each tick from now on gives `notifier` the notices that are due (see
  // core/notice_rules.h); null stops that.
  void SetNotifier(Notifier* notifier) { notifier_ = notifier; }

 private:
  void AccountAndDraw(int k);
  void DrawTotals();
  void SavePictures(const LocalTime& now);
  // Tells the host when the fault of `kind` begins, changes or ends.
  void Note(TickFault kind, const Status& status);
  void Notify();

  TPlovexSettings& s_;
  TickHost& host_;
  const Clock& clock_;
  PollSource& poll_;
  PictureWriter& writer_;
  Surface& picture_;
  GraphRenderer renderer_;
  std::string pending_copy_;      // a time-stamped copy not yet written
  std::array<Status, 4> faults_;  // the fault last reported, per TickFault
  UsageRecorder* usage_ = nullptr;
  std::array<std::int64_t, 2> counted_{};  // this tick's bytes, per channel
  std::array<bool, 2> sampled_{};          // this tick drew a sample, per channel
  Notifier* notifier_ = nullptr;
  NoticeRules rules_;
};

}  // namespace plovex
