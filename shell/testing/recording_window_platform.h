#pragma once
// A windowing platform whose answers tests choose, or take from a real one,
// and that counts the system moves it was asked for.
#include "shell/window_platform.h"

namespace plovex {

class RecordingWindowPlatform : public WindowPlatform {
 public:
  bool PlacesWindows() const override { return real ? real->PlacesWindows() : places; }
  bool KeepsAbove() const override { return real ? real->KeepsAbove() : keeps_above; }
  bool StartSystemMove(QWindow& window) override {
    ++moves;
    return real ? real->StartSystemMove(window) : system_moves;
  }

  bool places = true;
  bool keeps_above = true;
  bool system_moves = false;
  WindowPlatform* real = nullptr;  // when set, answers for the three above
  int moves = 0;
};

}  // namespace plovex
