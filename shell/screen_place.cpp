#include "shell/screen_place.h"

#include <algorithm>

namespace plovex {

QPoint PlaceOnScreen(QPoint corner, QSize window, const QList<QRect>& screens,
                     const QRect& primary_work_area) {
  for (const QRect& screen : screens) {
    if (screen.contains(corner)) return corner;
  }
  if (primary_work_area.isEmpty()) return corner;
  const QRect& area = primary_work_area;
  // A window larger than the area keeps its top left corner in it.
  const int right = std::max(area.left(), area.left() + area.width() - window.width());
  const int bottom = std::max(area.top(), area.top() + area.height() - window.height());
  return {std::clamp(corner.x(), area.left(), right), std::clamp(corner.y(), area.top(), bottom)};
}

}  // namespace plovex
