#pragma once
// TPlovexSettings: the one record holding every setting and all run-time state
// of the monitor. Exactly one instance lives as long as the main window (or the
// headless runner); every part of the program reads and writes its fields
// directly, so the fields keep the names the settings and pages use.
//
// A fresh record has Restart true and every other field zero, false or empty,
// with TrayBitmap white and grey rows 0 and 15. Setting fields get their
// values from the settings store (stored values, migration or the defaults of
// ApplyDefaultSettings) and from the configuration panel.
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "core/one_based.h"
#include "image/color.h"
#include "image/surface.h"

namespace plovex {

// One monitored counter.
struct OidChannel {
  std::int64_t Value = 0;      // latest reading
  std::int64_t PrevValue = 0;  // the reading before Value
  std::int64_t Total = 0;      // megabytes carried over when the counter ran backwards
  std::int64_t Rate = 0;       // bytes per second over the last interval
  plovex::Color Color = 0;     // normal bar, rate label and (channel 1) total colour
  plovex::Color MaxColor = 0;  // over-scale colour and gradient end
  bool FullBars = false;       // bars from the bottom; false: samples joined by a line
  std::int32_t TextX = 0;      // top-left corner of the rate label
  std::int32_t TextY = 0;
  std::string Oid{};      // dotted object identifier of the counter
  bool Gradient = false;  // bar colour interpolated between Color and MaxColor
  // The next reading is a new baseline: the host was silent for a while, so
  // the growth since the last reading is no rate of one interval.
  bool NewBaseline = false;
  // A reading at or above 2^32 was seen since the last restart: a 64-bit
  // counter, which never wraps at 2^32.
  bool Wide = false;

  bool operator==(const OidChannel&) const = default;
};

// One free text line drawn over the picture.
struct TextOverlay {
  bool Enabled = false;
  std::string Format;  // "%1".."%5" are replaced by the overlay values
  std::string Oid{};
  std::string Kind;  // "String", "Time" or "NextAdp"; anything else acts as "String"
  std::int32_t X = 0;
  std::int32_t Y = 0;

  bool operator==(const TextOverlay&) const = default;
};

// What the poll has learned of the agent, kept from tick to tick and
// forgotten by Start.
struct PollMemory {
  // Identifiers the agent answered with noSuchName, left out of the shared
  // GetRequest while the request they were learned for stays the same.
  std::vector<std::string> Refused;
  std::string RefusedFor;           // host, community and identifiers of that request
  std::int64_t RefusedSinceMs = 0;  // on the client's clock
  // While SnmpFailed: when the next try may go out, and the back-off in force.
  std::int64_t RetryAtMs = 0;
  std::int64_t RetryDelayMs = 0;
  // While SnmpFailed: why, when the agent said so or the version 3 user
  // cannot be used ("wrong authentication key"); empty for plain silence.
  std::string FailureReason;
  // While SnmpFailed: what kind of failure; kTimedOut for plain silence,
  // kNotFound for a host name that cannot be looked up, kRefused for a
  // version 3 refusal, kInvalidArgument for a user that cannot be used.
  StatusCode FailureCode = StatusCode::kOk;
  // sysUpTime.0 and the followed interface's ifOperStatus as the last poll
  // received them, read while "Interface" is set so that a restarted agent or
  // a vanished interface is noticed; empty otherwise.
  std::string Uptime;
  std::string InterfaceStatus;
  // While SnmpFailed: the tries in a row that got no answer, the first one
  // included (a poll that waits out the back-off is no try).
  std::int32_t SilentTries = 0;
  // The rows the last version 1 address walk asked for after the column and
  // got an answer to, and the host, community and column they belong to.
  std::vector<std::string> WalkRows;
  std::string WalkRowsFor;
  // The agent refused such a request: the walks for WalkRowsFor go one row
  // at a time.
  bool WalkRowsRefused = false;

  bool operator==(const PollMemory&) const = default;
};

constexpr int kTrayBitmapSize = 16;

// A 16 x 16 white bitmap with grey rows 0 and 15, as the tray miniature starts.
Surface NewTrayBitmap();

class TPlovexSettings {
 public:
  TPlovexSettings() = default;

  OidChannel Oid1;
  OidChannel Oid2;
  bool Restart = true;
  OneBased<std::int32_t, 2> LastBarHeight;
  OneBased<std::int32_t, 2> LastTrayHeight;
  OneBased<std::string, 5> DrawnTexts;
  Surface TrayBitmap = NewTrayBitmap();
  std::int32_t DragX = 0;
  std::int32_t DragY = 0;
  bool Dragging = false;
  bool LockDrag = false;
  bool SnmpFailed = false;
  PollMemory SnmpMemory;
  bool StayOnTop = false;
  std::int32_t WindowState = 0;        // 1 normal, 2 any other state
  std::int32_t WindowBorderStyle = 0;  // 1 bordered, 2 borderless
  std::int32_t WindowTop = 0;
  std::int32_t WindowLeft = 0;
  bool SnapshotPending = false;
  std::string Ip;
  std::string Community;
  std::string SnmpVersion;  // "1", "2c" or "3"; any other text acts as "1"
  // Version 3, the User-based Security Model: the user, its protocols
  // ("SHA" or "SHA-256", "AES"; empty for none, which also sets the security
  // level) and their master keys Ku as hexadecimal text, never passphrases.
  std::string SnmpUser;
  std::string SnmpAuthProtocol;
  std::string SnmpPrivProtocol;
  std::string SnmpAuthKey;
  std::string SnmpPrivKey;
  // The name (ifName, else ifDescr) of the interface whose counters Oid1 and
  // Oid2 are; the poll follows it to its current ifIndex. Empty: the
  // identifiers are used as they are.
  std::string Interface;
  // The billing period begins on this day of the month (1 to 28) at local
  // midnight; UsageCap is the bytes allowed per period as decimal text (a
  // terabyte does not fit a 32-bit setting), "0" for no cap.
  std::int32_t UsageResetDay = 0;
  std::string UsageCap;
  // Where the headless runner serves its metrics for Prometheus ("9877",
  // "127.0.0.1:9877", "0.0.0.0:9877"); empty for nowhere.
  std::string MetricsListen;
  // The poll also reads sysUpTime.0 when no interface is followed (the
  // metrics show it). Run-time state, never stored.
  bool AskUptime = false;
  std::int32_t MaxBytes = 0;
  std::int32_t TextSize = 0;
  std::int32_t GraphTopX = 0;
  std::int32_t GraphTopY = 0;
  std::int32_t GraphBottomX = 0;
  std::int32_t GraphBottomY = 0;
  bool ShowTotal = false;
  std::int32_t TotalX = 0;
  std::int32_t TotalY = 0;
  bool SaveGif = false;
  std::int32_t SaveGifFreq = 0;
  // Where the GIF files go; empty for the program's default (see
  // core/picture_folder.h).
  std::string GifFolder;
  bool VTicks = false;
  bool HTicks = false;
  bool GraphLabel = false;
  std::int32_t Refresh = 0;
  std::int32_t TickFreq = 0;
  OneBased<TextOverlay, 5> Texts;
  // Desktop notices: the host's silence after NotifyDownPolls unanswered tries
  // (0: never); a channel above NotifyRateAbove bytes per second (0: never)
  // for NotifyRateSeconds; the usage at 80, 90 and 100 % of UsageCap.
  std::int32_t NotifyDownPolls = 0;
  std::int32_t NotifyRateAbove = 0;
  std::int32_t NotifyRateSeconds = 0;
  bool NotifyCap = false;

  // The version field of every message to the agent: 1 for "2c", 3 for "3",
  // else 0.
  std::int32_t SnmpMessageVersion() const {
    return SnmpVersion == "2c" ? 1 : SnmpVersion == "3" ? 3 : 0;
  }

  // Channel k (1 or 2).
  OidChannel& Channel(int k) { return k == 1 ? Oid1 : Oid2; }
  const OidChannel& Channel(int k) const { return k == 1 ? Oid1 : Oid2; }

  // Every field, settings and run-time state alike.
  bool operator==(const TPlovexSettings&) const = default;
};

// The window's initial placement, which a first start records.
constexpr std::int32_t kDefaultWindowTop = 105;
constexpr std::int32_t kDefaultWindowLeft = 192;

// Sets every setting field (not the run-time state, not the totals) to its
// default: the initial state of the configuration panel and of the window
// (top 105, left 192, normal, bordered, drag unlocked, not on top).
void ApplyDefaultSettings(TPlovexSettings& s);

}  // namespace plovex
