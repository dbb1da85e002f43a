#pragma once
// Notifier: where the tick's notices (core/notice_rules.h) go. The desktop
// window shows them through the desktop's notification service, a newer
// notice of a kind in the place of the older; the headless runner writes
// them to standard error. Show returns at once and never throws: a desktop
// without a notification service simply shows nothing.
#include "core/notice_rules.h"

namespace plovex {

class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void Show(const Notice& notice) = 0;
};

}  // namespace plovex
