#pragma once
// PanelHost: what the configuration panel needs from the window that carries
// it. The panel edits the settings record; the window owns the timer, the
// picture, the tray miniature, the popup menu's check marks, the window frame
// and the settings store, so the panel reaches them only through this
// interface. The desktop window implements it; panel tests use a recording
// double.
//
// RestartGraph is the window's RunControl::Restart: it runs a tick at once
// and throws whatever `apply` or the tick throws (PlovexError); the others do
// not throw, except SaveTotals, which throws PlovexError when the hive cannot
// be written.
#include <cstdint>
#include <functional>
#include <optional>

#include "core/plovex_settings.h"
#include "image/color.h"
#include "settings/panel/panel_rules.h"

namespace plovex {

// The window's placement and the two check marks of its popup menu, in the
// settings' own encoding: State 1 normal, anything else minimised; BorderStyle
// 1 with its single border, anything else borderless.
struct WindowPlacement {
  std::int32_t Top = 0;
  std::int32_t Left = 0;
  std::int32_t State = 1;
  std::int32_t BorderStyle = 1;
  bool LockDrag = false;
  bool StayOnTop = false;
};

class PanelHost {
 public:
  virtual ~PanelHost() = default;

  // Stop, whiten the picture and the tray miniature, Restart set, `apply`,
  // then Start with its tick (see RunControl::Restart).
  virtual void RestartGraph(const std::function<void()>& apply) = 0;
  // Shows the graph page of the window's page set.
  virtual void ShowGraphPage() = 0;
  // The tick timer's period; 0 or less keeps the timer from firing until a
  // positive period is set, without switching monitoring off.
  virtual void SetTimerPeriod(std::int64_t milliseconds) = 0;

  virtual WindowPlacement RecordPlacement() const = 0;
  // Moves the window, sets its state and frame (not its size) and the check
  // marks; the window's stacking is left alone.
  virtual void ApplyPlacement(const WindowPlacement& placement) = 0;

  // Persists both carried-over totals.
  virtual void SaveTotals() = 0;

  // Apply has copied the controls into the record: the record is now the
  // user's, to be saved at close.
  virtual void SettingsApplied() = 0;

  // Runs `handler`, showing what it throws in the error display; a handler
  // bound to a control runs through here because nothing may propagate into
  // the event loop.
  virtual void ReportErrors(const std::function<void()>& handler) = 0;
};

// What a load gives the window besides the controls: the tick timer's period
// for the record's Refresh, and the record's placement.
inline void ShowRecordOnWindow(PanelHost& host, const TPlovexSettings& s) {
  host.SetTimerPeriod(TimerPeriodMs(s.Refresh));
  host.ApplyPlacement(WindowPlacement{s.WindowTop, s.WindowLeft, s.WindowState, s.WindowBorderStyle,
                                      s.LockDrag, s.StayOnTop});
}

}  // namespace plovex
