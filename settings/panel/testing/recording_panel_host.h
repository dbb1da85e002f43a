#pragma once
// RecordingPanelHost: the window as the panel's tests see it. It records the
// calls the panel makes (a restart through the real RunControl, as "Stop",
// "ClearPictures", "Start"), keeps a placement that tests can read and
// change, and collects the messages of errors instead of showing them.
#include <exception>
#include <string>
#include <vector>

#include "core/plovex_settings.h"
#include "core/run_control.h"
#include "settings/panel/panel_host.h"

namespace plovex {

class RecordingPanelHost : public PanelHost, private RunHost {
 public:
  explicit RecordingPanelHost(TPlovexSettings& settings) : run_(settings, picture, *this) {}

  void RestartGraph(const std::function<void()>& apply) override { run_.Restart(apply); }
  void ShowGraphPage() override { calls.push_back("ShowGraphPage"); }
  void SetTimerPeriod(std::int64_t ms) override { timer_period = ms; }
  WindowPlacement RecordPlacement() const override { return placement; }
  void ApplyPlacement(const WindowPlacement& p) override {
    placement = p;
    calls.push_back("ApplyPlacement");
  }
  void SaveTotals() override { calls.push_back("SaveTotals"); }
  void SettingsApplied() override { ++applied; }
  void ReportErrors(const std::function<void()>& handler) override {
    try {
      handler();
    } catch (const std::exception& e) {
      errors.push_back(e.what());
    }
  }

  std::vector<std::string> calls;
  std::vector<std::string> errors;
  WindowPlacement placement{kDefaultWindowTop, kDefaultWindowLeft, 1, 1, false, false};
  std::int64_t timer_period = -1;
  int applied = 0;  // SettingsApplied calls
  Surface picture{kPictureWidth, kPictureHeight};

 private:
  void SetRunning(bool running) override { calls.push_back(running ? "Start" : "Stop"); }
  void PicturesCleared() override { calls.push_back("ClearPictures"); }

  RunControl run_;
};

}  // namespace plovex
