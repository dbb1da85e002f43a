#pragma once
// HeadlessControls: the SettingsControls of a run without the configuration
// panel. Its initial state is the panel's, so a first start takes the
// defaults; there are no controls to fill, so SettingsToControls does nothing.
// It borrows the record, which outlives it.
#include "core/plovex_settings.h"
#include "settings/settings_controls.h"

namespace plovex {

class HeadlessControls : public SettingsControls {
 public:
  explicit HeadlessControls(TPlovexSettings& settings) : settings_(settings) {}

  void SettingsToControls() override {}
  void ControlsToSettings() override { ApplyDefaultSettings(settings_); }

 private:
  TPlovexSettings& settings_;
};

}  // namespace plovex
