#include "core/plovex_settings.h"

#include "core/settings_schema.h"

namespace plovex {

Surface NewTrayBitmap() {
  Surface tray(kTrayBitmapSize, kTrayBitmapSize, kWhite);
  tray.FillRect(0, 0, kTrayBitmapSize, 1, kGrey);
  tray.FillRect(0, kTrayBitmapSize - 1, kTrayBitmapSize, kTrayBitmapSize, kGrey);
  return tray;
}

void ApplyDefaultSettings(TPlovexSettings& s) {
  for (const Setting& setting : SettingsSchema()) setting.SetDefault(s);
}

}  // namespace plovex
