#pragma once
// RunControl: switching the monitoring on and off, in one place for the
// window's Start and Stop buttons, its Clear command, the configuration
// panel's restarting Apply and the headless runner.
//
//   Start:   Restart set, running (timer on, "Stop" enabled, "Start"
//            disabled), SnmpFailed cleared, then one tick at once.
//   Stop:    not running (timer off, "Start" enabled, "Stop" disabled).
//   Clear:   Stop, whiten the picture (all but column 0 and row 0) and the
//            whole tray miniature, Restart set, Start.
//   Restart: Clear with `apply` (the panel's copy of its controls) run just
//            before the final Start.
// Each runs its whole sequence whenever it is invoked, running or not.
//
// Ownership: borrows the record, the picture and the host, which outlive it;
// the tick is set once start-up has made it and may be null (before that, and
// while closing), when Start runs no tick.
//
// Failure: Start throws what the tick throws (PlovexError), after the
// monitoring has been switched on, unless the host's RunStartTick takes it. What `apply` throws
// ends Restart before Start: the graph is then cleared and monitoring stays stopped.
#include <functional>

#include "core/plovex_settings.h"
#include "core/tick_cycle.h"
#include "image/surface.h"

namespace plovex {

// What the monitoring's state drives in the window (or nothing, headless).
class RunHost {
 public:
  virtual ~RunHost() = default;
  // The tick timer and the Start and Stop buttons follow `running`.
  virtual void SetRunning(bool running) = 0;
  // The picture and the tray miniature were whitened: show them so.
  virtual void PicturesCleared() = 0;
  // Runs Start's tick; the window routes it through its one-box-per-fault
  // display instead of letting a failure end the caller (Apply, Clear).
  virtual void RunStartTick(const std::function<void()>& tick) { tick(); }
};

class RunControl {
 public:
  RunControl(TPlovexSettings& settings, Surface& picture, RunHost& host)
      : s_(settings), picture_(picture), host_(host) {}
  RunControl(const RunControl&) = delete;
  RunControl& operator=(const RunControl&) = delete;

  void SetTick(TickCycle* tick) { tick_ = tick; }

  void Start();
  void Stop();
  void ClearPictures();
  void Clear();
  void Restart(const std::function<void()>& apply);

 private:
  TPlovexSettings& s_;
  Surface& picture_;
  RunHost& host_;
  TickCycle* tick_ = nullptr;
};

}  // namespace plovex
