#pragma once
// RecordingPanelHost: the window as the panel's tests see it. It records the
// calls the panel makes, keeps a placement that tests can read and change,
// and collects the messages of errors instead of showing them.
#include <exception>
#include <string>
#include <vector>

#include "core/plovex_settings.h"
#include "settings/panel/panel_host.h"

namespace plovex {

class RecordingPanelHost : public PanelHost {
 public:
  void Stop() override { calls.push_back("Stop"); }
  void Start() override { calls.push_back("Start"); }
  void ClearPictures() override { calls.push_back("ClearPictures"); }
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
};

}  // namespace plovex
