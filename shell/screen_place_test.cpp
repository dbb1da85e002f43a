#include "shell/screen_place.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

TEST(PlaceOnScreen, ACornerOnAScreenStaysAndAnyOtherComesOntoThePrimary) {
  const QRect primary(0, 0, 1024, 768);
  const QRect second(1024, 0, 800, 600);
  const QRect work(0, 30, 1024, 738);  // below a top panel
  const QSize window(414, 199);
  struct Row {
    QPoint stored;
    QList<QRect> screens;
    QPoint placed;
  } rows[] = {
      {{192, 105}, {primary}, {192, 105}},  {{1500, 100}, {primary, second}, {1500, 100}},
      {{1500, 100}, {primary}, {610, 100}},  // the second screen is gone
      {{-3, -30}, {primary}, {0, 30}},       // a place a platform reported wrongly
      {{200, 5000}, {primary}, {200, 569}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(PlaceOnScreen(r.stored, window, r.screens, work), r.placed)
        << r.stored.x() << "," << r.stored.y();
  }
  // A window larger than the work area keeps its corner in it.
  EXPECT_EQ(PlaceOnScreen({-50, -50}, {2000, 2000}, {primary}, work), QPoint(0, 30));
}

}  // namespace
}  // namespace plovex
