// The main window as a native Wayland client; run under weston by
// wayland_tests.sh. What the compositor alone decides: a drag is its move,
// stacking is its own, and a window learns no place of its own.
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "core/testing/manual_clock.h"
#include "core/testing/tick_test_doubles.h"
#include "shell/testing/desktop_test_support.h"
#include "shell/testing/recording_window_platform.h"
#include "shell/testing/switchable_tray_presence.h"
#include "shell/tform1.h"

namespace plovex {
namespace {

TEST(FormOnWayland, DragsGoToTheCompositorStayOnTopIsOffAndNoPlaceIsRecorded) {
  ASSERT_TRUE(QGuiApplication::platformName().startsWith("wayland"))
      << QGuiApplication::platformName().toStdString();
  TestHive hive;
  hive.Seed([](TPlovexSettings& s) { s.StayOnTop = true; });
  ScriptedPoll poll;
  for (int i = 0; i < 20; ++i) poll.script.push_back({1000000 + 32000 * i, 500000 + 1600 * i});
  RecordingPictureWriter writer;
  ManualClock clock;
  SwitchableTrayPresence tray;
  tray.protocol = TrayPresence::Protocol::kNone;  // no watcher on this bus
  const std::unique_ptr<WindowPlatform> wayland = NewDesktopWindowPlatform();
  RecordingWindowPlatform platform;
  platform.real = wayland.get();
  TForm1 f(TForm1Seams{&hive.Hive(), &poll, &writer, &clock, &tray, &platform});
  std::vector<std::string> shown;
  f.Errors().SetPresenter(
      [&](const QString&, const QString& text) { shown.push_back(text.toStdString()); });
  f.FormCreate();
  f.ShowAtStart();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

  auto* on_top = f.findChild<QAction*>("Stayontop1");
  EXPECT_FALSE(on_top->isEnabled());
  EXPECT_TRUE(on_top->isChecked());
  EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  // A press and a pull on the picture: the compositor is asked to move.
  auto* image = f.findChild<QWidget*>("Image1");
  for (auto [type, at] : {std::pair{QEvent::MouseButtonPress, QPoint(10, 10)},
                          std::pair{QEvent::MouseMove, QPoint(60, 40)}}) {
    QMouseEvent e(type, at, image->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image, &e);
  }
  EXPECT_EQ(platform.moves, 1);

  // Both border toggles keep the window that is on the screen.
  const QWindow* native = f.windowHandle();
  for (bool frameless : {true, false}) {
    QTest::mouseDClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(f.windowFlags().testFlag(Qt::FramelessWindowHint), frameless);
    EXPECT_EQ(f.windowHandle(), native);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
  }

  // Apply records the state but not the place the platform reports.
  f.Configuration1Click();
  f.findChild<QPushButton*>("Button1")->click();
  EXPECT_EQ(f.Settings().WindowTop, 105);
  EXPECT_EQ(f.Settings().WindowLeft, 192);
  EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace plovex
