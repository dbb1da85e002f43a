#pragma once
// TickHost: the parts of the window that a tick reaches into. The desktop
// window implements it with its widgets and the settings store; the headless
// runner implements it with standard output and the same store.
//
// The tick calls these in its own order and does not catch what they throw:
// a PlovexError from SaveTotals (a hive that cannot be written) abandons the
// rest of the tick like any other tick failure.
#include <string>

#include "image/surface.h"

namespace plovex {

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
};

}  // namespace plovex
