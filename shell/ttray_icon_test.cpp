#include "shell/ttray_icon.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>

#include "core/plovex_settings.h"
#include "shell/testing/switchable_tray_presence.h"

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
  SwitchableTrayPresence presence;
  TTrayIcon tray(&window, QIcon(), presence, nullptr);
  EXPECT_EQ(tray.Hint(), "Plovex");
  EXPECT_EQ(tray.toolTip(), "Plovex");
  tray.SetHint(QString(200, 'x'));
  EXPECT_EQ(tray.toolTip().size(), 127);
}

TEST(TTrayIcon, ShowsFromItsFirstImageUntilRemovedWhereATrayCanShowIt) {
  for (auto protocol : {TrayPresence::Protocol::kStatusNotifier, TrayPresence::Protocol::kXEmbed,
                        TrayPresence::Protocol::kNone}) {
    SCOPED_TRACE(static_cast<int>(protocol));
    const bool shows = protocol != TrayPresence::Protocol::kNone;
    QWidget window;
    SwitchableTrayPresence presence;
    presence.protocol = protocol;
    TTrayIcon tray(&window, QIcon(), presence, nullptr);
    EXPECT_FALSE(tray.isVisible());
    QIcon icon;
    ASSERT_TRUE(TTrayIcon::IconFromBitmap(NewTrayBitmap(), icon, kWhite));
    tray.SetImage(icon);
    tray.UpdateIcon();
    EXPECT_EQ(tray.isVisible(), shows);
    tray.Remove();
    tray.SetHint("1 kB/s / 2 kB/s");
    EXPECT_FALSE(tray.isVisible());
  }
}

class TrayClicks : public ::testing::Test {
 protected:
  TrayClicks() {
    presence.available = true;
    window.show();
  }
  // Lets a click's pending hide run out.
  void AfterTheDoubleClickTime() {
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
  }
  void Send(std::initializer_list<QSystemTrayIcon::ActivationReason> reasons) {
    for (auto reason : reasons) emit tray.activated(reason);
  }

  QWidget window;
  SwitchableTrayPresence presence;
  TTrayIcon tray{&window, QIcon(), presence, nullptr};
  QSignalSpy double_clicks{&tray, &TTrayIcon::DblClick};
};

TEST_F(TrayClicks, AClickHidesAShownWindowAndShowsAHiddenOne) {
  Send({QSystemTrayIcon::Trigger});
  EXPECT_TRUE(window.isVisible());  // a double-click may still follow
  AfterTheDoubleClickTime();
  EXPECT_FALSE(window.isVisible());
  Send({QSystemTrayIcon::Trigger});
  EXPECT_TRUE(window.isVisible());  // at once
  AfterTheDoubleClickTime();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(double_clicks.count(), 0);
}

TEST_F(TrayClicks, ADoubleClickAfterItsClicksNeverHidesTheWindow) {
  // An XEmbed tray sends a click for each press of a double-click.
  for (bool start_hidden : {false, true}) {
    SCOPED_TRACE(start_hidden);
    window.setVisible(!start_hidden);
    Send({QSystemTrayIcon::Trigger, QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick});
    AfterTheDoubleClickTime();
    EXPECT_TRUE(window.isVisible());
  }
  EXPECT_EQ(double_clicks.count(), 2);
}

TEST_F(TrayClicks, TheContextMenuAndTheMiddleButtonLeaveTheWindowAlone) {
  Send({QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick});
  AfterTheDoubleClickTime();
  EXPECT_TRUE(window.isVisible());
}

TEST(TTrayIcon, MinimisingHidesIntoTheTrayOnlyWhileThereIsOne) {
  QWidget window;
  SwitchableTrayPresence presence;
  TTrayIcon tray(&window, QIcon(), presence, nullptr);
  window.show();

  window.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.isVisible());  // reachable from the taskbar

  window.setWindowState(Qt::WindowNoState);
  presence.available = true;
  window.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_FALSE(window.isVisible());

  // The tray goes: the window comes back by itself, once.
  presence.Switch(false);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());
  window.hide();  // hidden by someone else: not the tray's to bring back
  presence.Switch(true);
  presence.Switch(false);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace plovex
