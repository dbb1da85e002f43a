#pragma once
// TickHost: the parts of the window that a tick reaches into. The desktop
// window implements it with its widgets and the settings store; the headless
// runner implements it with standard output and the same store.
//
// The tick calls these in its own order and does not catch what they throw:
// a PlovexError from SaveTotals (a hive that cannot be written) abandons the
// rest of the tick like any other tick failure.
//
// Faults are what a tick could not do but went on without (a picture that
// cannot be written): each kind is reported when it begins or its reason
// changes, and cleared once, when the thing succeeds again or is no longer
// asked for. In between, the tick retries quietly.
#include <cstdint>
#include <string>

#include "base/status.h"
#include "image/surface.h"

namespace plovex {

enum class TickFault : std::uint8_t {
  kPictureFile,   // "Plovex.gif" or a time-stamped copy
  kSnapshotFile,  // "PlovexSnapShot.gif"
  kNoAnswer,      // the host gives no readings (PollFault)
  kUsageStore,    // the usage history, "history.sqlite"
};

class TickHost {
 public:
  virtual ~TickHost() = default;

  // The checked state of the "Save to GIF every" box (chkSaveGIF) right now;
  // the periodic pictures follow the box, not TPlovexSettings::SaveGif.
  virtual bool SaveGifChecked() const = 0;

  // The captions of the reset page's labels LblRstOID1 and LblRstOID2
  // ("Down 13MB", "Up 2MB"), set on every tick.
  virtual void SetResetCaptions(const std::string& lbl_rst_oid1,
                                const std::string& lbl_rst_oid2) = 0;

  // The tray icon's hint ("12.5 kB/s / 3 kB/s"), then its image rebuilt from
  // the 16 x 16 miniature with white as the transparent colour. Called at the
  // end of every tick that gets that far, in this order.
  virtual void SetTrayHint(const std::string& hint) = 0;
  virtual void SetTrayIcon(const Surface& tray_bitmap) = 0;

  // Persists both carried-over totals ("OID1Last", "OID2Last") at once; called
  // when a counter has been seen running backwards.
  virtual void SaveTotals() = 0;

  // A fault of `kind` begins, or goes on for another reason. The status's
  // message says it in plain words ("Plovex.gif cannot be written in /srv/x:
  // permission denied").
  virtual void ReportFault(TickFault kind, const Status& status) = 0;
  // The fault of `kind` reported before is over.
  virtual void ClearFault(TickFault kind) = 0;
  // The snapshot asked for is written, at `path`.
  virtual void SnapshotWritten(const std::string& path) = 0;
};

}  // namespace plovex
