#include "core/run_control.h"

namespace plovex {

void RunControl::Start() {
  s_.Restart = true;
  host_.SetRunning(true);
  s_.SnmpFailed = false;
  if (tick_ != nullptr) host_.RunStartTick([this] { tick_->Start(); });
}

void RunControl::Stop() { host_.SetRunning(false); }

void RunControl::ClearPictures() {
  picture_.FillRect(1, 1, kPictureWidth, kPictureHeight, kWhite);
  // The tray's grey rows are not redrawn: a cleared miniature is all white.
  s_.TrayBitmap.Fill(kWhite);
  host_.PicturesCleared();
}

void RunControl::Clear() {
  Restart([] {});
}

void RunControl::Restart(const std::function<void()>& apply) {
  Stop();
  ClearPictures();
  s_.Restart = true;
  apply();
  Start();
}

}  // namespace plovex
