#pragma once
// PlaceOnScreen: where to put a window whose stored outer corner may lie on
// no screen (a screen since unplugged, or a place a platform reported
// wrongly). A corner on any screen stays; any other is brought inside the
// primary screen's work area, as near the stored place as the window's size
// allows.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace plovex {

QPoint PlaceOnScreen(QPoint corner, QSize window, const QList<QRect>& screens,
                     const QRect& primary_work_area);

}  // namespace plovex
