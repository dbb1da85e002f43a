#include "shell/ttray_icon.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "core/plovex_settings.h"

namespace plovex {
namespace {

QImage Rendered(const QIcon& icon) {
  return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(IconFromBitmap, WhiteIsTransparentAndEveryOtherColourStays) {
  QIcon icon;
  ASSERT_TRUE(TTrayIcon::IconFromBitmap(Surface(16, 16, kWhite), icon, kWhite));
  QImage blank = Rendered(icon);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(qAlpha(blank.pixel(x, y)), 0) << x << "," << y;

  Surface tray = NewTrayBitmap();
  tray.SetPixel(5, 7, 0x00008000);  // green
  tray.SetPixel(6, 7, 0x00FF0000);  // blue in 0x00BBGGRR
  ASSERT_TRUE(TTrayIcon::IconFromBitmap(tray, icon, kWhite));
  const QImage img = Rendered(icon);
  EXPECT_EQ(img.pixel(0, 0), qRgb(0x80, 0x80, 0x80));
  EXPECT_EQ(img.pixel(15, 15), qRgb(0x80, 0x80, 0x80));
  EXPECT_EQ(img.pixel(5, 7), qRgb(0, 0x80, 0));
  EXPECT_EQ(img.pixel(6, 7), qRgb(0, 0, 0xFF));
  EXPECT_EQ(qAlpha(img.pixel(5, 8)), 0);

  EXPECT_FALSE(TTrayIcon::IconFromBitmap(Surface(400, 160), icon, kWhite));
}

TEST(IconFromBitmap, ALargerTraySlotGetsTheMiniatureUnblurred) {
  Surface tray = NewTrayBitmap();
  tray.SetPixel(5, 7, 0x00008000);
  QIcon icon;
  ASSERT_TRUE(TTrayIcon::IconFromBitmap(tray, icon, kWhite));
  const QImage small = Rendered(icon);
  for (int side : {32, 48}) {
    const QImage big = icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(big.size(), QSize(side, side));
    const int k = side / 16;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) ASSERT_EQ(big.pixel(x, y), small.pixel(x / k, y / k));
  }
  // Between whole multiples too, only the miniature's own colours appear.
  const QImage odd = icon.pixmap(22, 22).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 22; ++x) {
      const QRgb c = odd.pixel(x, y);
      EXPECT_TRUE(c == qRgb(0x80, 0x80, 0x80) || c == qRgb(0, 0x80, 0) || qAlpha(c) == 0)
          << x << "," << y << " " << std::hex << c;
    }
}

TEST(TTrayIcon, HintStartsAsTheProgramNameAndIsCut) {
  QWidget window;
  TTrayIcon tray(&window, QIcon(), nullptr);
  EXPECT_EQ(tray.Hint(), "Plovex");
  EXPECT_EQ(tray.toolTip(), "Plovex");
  tray.SetHint(QString(200, 'x'));
  EXPECT_EQ(tray.toolTip().size(), 127);
}

TEST(TTrayIcon, ShowsFromItsFirstImageUntilRemoved) {
  QWidget window;
  TTrayIcon tray(&window, QIcon(), nullptr);
  EXPECT_FALSE(tray.isVisible());
  QIcon icon;
  ASSERT_TRUE(TTrayIcon::IconFromBitmap(NewTrayBitmap(), icon, kWhite));
  tray.SetImage(icon);
  tray.UpdateIcon();
  EXPECT_TRUE(tray.isVisible());
  tray.Remove();
  tray.SetHint("1 kB/s / 2 kB/s");
  EXPECT_FALSE(tray.isVisible());
}

TEST(TTrayIcon, OnlyADoubleClickAsksForTheWindow) {
  QWidget window;
  TTrayIcon tray(&window, QIcon(), nullptr);
  QSignalSpy spy(&tray, &TTrayIcon::DblClick);
  emit tray.activated(QSystemTrayIcon::Trigger);
  emit tray.activated(QSystemTrayIcon::Context);
  EXPECT_EQ(spy.count(), 0);
  emit tray.activated(QSystemTrayIcon::DoubleClick);
  EXPECT_EQ(spy.count(), 1);
}

TEST(TTrayIcon, MinimisingHidesIntoTheTrayOnlyWhereThereIsOne) {
  QWidget window;
  TTrayIcon tray(&window, QIcon(), nullptr);
  window.show();

  tray.TrayAvailable = [] { return false; };
  window.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.isVisible());  // reachable from the taskbar

  window.setWindowState(Qt::WindowNoState);
  tray.TrayAvailable = [] { return true; };
  window.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_FALSE(window.isVisible());

  tray.ShowMainWindow();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());
}

}  // namespace
}  // namespace plovex
