#pragma once
// SettingsControls: the two copy operations between the settings record and
// the controls that edit it. The configuration panel implements them for the
// desktop window; the headless runner's HeadlessControls stands in where there
// is no panel. The settings store calls them while loading.
namespace plovex {

class SettingsControls {
 public:
  virtual ~SettingsControls() = default;
  // Record into the controls, the timer period and the window placement.
  virtual void SettingsToControls() = 0;
  // Controls and window placement into the record.
  virtual void ControlsToSettings() = 0;
};

}  // namespace plovex
