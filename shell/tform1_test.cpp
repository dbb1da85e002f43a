#include "shell/tform1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sstream>

#include "core/testing/tick_test_doubles.h"
#include "settings/panel/panel_rules.h"
#include "shell/testing/desktop_test_support.h"
#include "shell/testing/recording_window_platform.h"
#include "shell/testing/switchable_tray_presence.h"

namespace plovex {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    // Counters that grow by 32000 bytes a second on channel 1, 1600 on 2.
    for (int i = 0; i < 50; ++i) poll.script.push_back({1000000 + 32000 * i, 500000 + 1600 * i});
    clock.SetLocal(12, 30, 15);
  }

  TForm1& Create() {
    form = std::make_unique<TForm1>(
        TForm1Seams{&hive.Hive(), &poll, &writer, &clock, &tray, &platform, usage_path});
    form->Errors().SetPresenter([this](const QString& caption, const QString& text) {
      shown.push_back((caption + "|" + text).toStdString());
    });
    return *form;
  }
  TForm1& Start() {
    Create().FormCreate();
    return *form;
  }

  template <typename T>
  T* Find(const char* name) {
    T* found = form->findChild<T*>(name);
    // The panel's controls are there once it is built.
    if (found == nullptr) found = form->ConfigPanel()->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
  // The command "Close", or else the window manager's close button.
  void CloseBy(const std::string& path) {
    if (path == "Close1") {
      Trigger("Close1");
    } else {
      EXPECT_TRUE(form->close());
    }
  }
  QWidget* Image1() { return Find<QWidget>("Image1"); }
  void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
    QWidget* image = Image1();
    QMouseEvent e(type, QPointF(at), QPointF(image->mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(image, &e);
  }
  void DoubleClickPicture() {
    Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, {50, 50}, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {50, 50}, Qt::NoButton);
  }
  int PageShown() { return Find<QStackedWidget>("PageControl1")->currentIndex(); }
  void Type(const char* edit, const QString& text) {
    auto* e = Find<QLineEdit>(edit);
    e->selectAll();
    QTest::keyClicks(e, text);
  }
  // Pixels of channel 1's colour in the graph area.
  int GreenPixels() {
    int n = 0;
    for (int y = 13; y < 147; ++y)
      for (int x = 0; x < 400; ++x) n += form->Picture().Pixel(x, y) == 0x008000;
    return n;
  }

  TestHive hive;
  ScriptedPoll poll;
  RecordingPictureWriter writer;
  ManualClock clock;
  SwitchableTrayPresence tray;
  RecordingWindowPlatform platform;
  std::vector<std::string> shown;
  std::string usage_path;  // none: no usage history
  std::unique_ptr<TForm1> form;
};

TEST_F(FormTest, FirstStartOpensAtTheDesignPlaceAndRecordsIt) {
  TForm1& f = Start();
  f.ShowAtStart();
  EXPECT_THAT(shown, IsEmpty());
  EXPECT_EQ(f.windowTitle(), "Plovex");
  EXPECT_EQ(f.pos(), QPoint(192, 105));
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(f.isMinimized());
  EXPECT_FALSE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(Find<QAction>("Stayontop1")->isChecked());
  EXPECT_FALSE(Find<QAction>("Lockwindowdrag1")->isChecked());
  const TPlovexSettings& s = f.Settings();
  EXPECT_EQ(s.WindowTop, 105);
  EXPECT_EQ(s.WindowLeft, 192);
  EXPECT_EQ(s.WindowState, 1);
  EXPECT_EQ(s.WindowBorderStyle, 1);
  EXPECT_EQ(s.MaxBytes, 64000);
  // Nothing reaches the hive before the program closes.
  EXPECT_FALSE(hive.Exists());
  // Started: one tick ran, the timer runs at Refresh seconds.
  EXPECT_EQ(poll.polls, 1);
  EXPECT_FALSE(s.Restart);
  EXPECT_TRUE(f.TimerRunning());
  EXPECT_EQ(f.TimerInterval(), 1000);
  EXPECT_FALSE(Find<QPushButton>("Button2")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("Button3")->isEnabled());
  EXPECT_EQ(PageShown(), 0);
  EXPECT_EQ(Find<QStackedWidget>("PageControl2")->currentIndex(), 0);
}

TEST_F(FormTest, TabAndSpaceOnTheGraphLeaveMonitoringRunning) {
  TForm1& f = Start();
  f.show();
  f.activateWindow();
  QApplication::setActiveWindow(&f);
  for (int i = 0; i < 3; ++i) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &f;
    QTest::keyClick(target, Qt::Key_Tab);
    target = QApplication::focusWidget() ? QApplication::focusWidget() : &f;
    QTest::keyClick(target, Qt::Key_Space);
    QTest::keyClick(target, Qt::Key_Return);
  }
  EXPECT_TRUE(f.TimerRunning());
  for (const char* name : {"Button2", "Button3"}) {
    auto* button = Find<QPushButton>(name);
    EXPECT_FALSE(button->hasFocus()) << name;
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << name;
  }
  // Still the program's own: a click is Stop, then Start.
  Find<QPushButton>("Button3")->click();
  EXPECT_FALSE(f.TimerRunning());
  Find<QPushButton>("Button2")->click();
  EXPECT_TRUE(f.TimerRunning());
}

TEST_F(FormTest, TheRightButtonOnThePictureOpensTheMenu) {
  TForm1& f = Start();
  f.ShowAtStart();
  auto* menu = Find<QMenu>("PopupMenu1");
  QStringList entries;
  for (QAction* a : menu->actions()) entries << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(entries,
            QStringList({"Configuration", "History\u2026", "Instant SnapShot", "-", "Clear", "-",
                         "Stay on top", "Lock window drag", "Minimize", "-", "Close"}));
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                          Image1()->mapToGlobal(QPoint(20, 20)));
  QCoreApplication::sendEvent(Image1(), &event);
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
  Trigger("Configuration1");
  EXPECT_EQ(PageShown(), 1);
}

TEST_F(FormTest, StoredFlagsPlaceAndStackTheWindowAtStart) {
  hive.Seed([](TPlovexSettings& s) {
    s.WindowTop = 40;
    s.WindowLeft = 60;
    s.WindowBorderStyle = 2;
    s.StayOnTop = true;
    s.LockDrag = true;
  });
  TForm1& f = Start();
  f.ShowAtStart();
  EXPECT_EQ(f.pos(), QPoint(60, 40));
  EXPECT_TRUE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(f.size(), TForm1::kBorderlessSize);
  EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(Find<QAction>("Stayontop1")->isChecked());
  EXPECT_TRUE(Find<QAction>("Lockwindowdrag1")->isChecked());

  // The first use of "Stay on top" unchecks it and makes the window normal.
  Trigger("Stayontop1");
  EXPECT_FALSE(Find<QAction>("Stayontop1")->isChecked());
  EXPECT_FALSE(f.Settings().StayOnTop);
  EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(f.isVisible());
}

TEST_F(FormTest, TheBorderToggleGivesItsSizesBothWaysTwiceOver) {
  // Client sizes: without a border the window is all client; with one, the
  // design's client area sits inside the window manager's frame. The outer
  // corner stays where it was.
  TForm1& f = Start();
  f.ShowAtStart();
  auto frameless = [&] { return f.windowFlags().testFlag(Qt::FramelessWindowHint); };
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    DoubleClickPicture();
    EXPECT_TRUE(frameless());
    EXPECT_EQ(f.size(), QSize(413, 173));
    EXPECT_EQ(f.Settings().WindowBorderStyle, 2);
    EXPECT_EQ(f.RecordPlacement().BorderStyle, 2);
    DoubleClickPicture();
    EXPECT_FALSE(frameless());
    EXPECT_EQ(f.size(), QSize(414, 173));
    EXPECT_EQ(f.frameGeometry().topLeft(), QPoint(192, 105));
    EXPECT_EQ(f.Settings().WindowBorderStyle, 1);
    EXPECT_EQ(f.RecordPlacement().BorderStyle, 1);
    EXPECT_TRUE(f.isVisible());
  }
}

TEST_F(FormTest, AToggleAfterARestoreTheWindowManagerDidNotTellKeepsTheWindowShown) {
  TForm1& f = Start();
  f.ShowAtStart();
  // Minimised, then put back on the screen by the window manager (alt-Tab,
  // a taskbar) without a state change reaching the window.
  f.setWindowState(Qt::WindowMinimized);
  f.show();
  ASSERT_TRUE(f.isMinimized());
  tray.available = true;
  for (int i = 0; i < 2; ++i) {
    DoubleClickPicture();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.isVisible()) << i;
    EXPECT_FALSE(f.isMinimized()) << i;
  }
}

TEST_F(FormTest, AStoredBorderlessWindowGetsItsBorderAtTheFirstDoubleClick) {
  hive.Seed([](TPlovexSettings& s) { s.WindowBorderStyle = 2; });
  TForm1& f = Start();
  f.ShowAtStart();
  EXPECT_EQ(f.size(), QSize(413, 173));
  DoubleClickPicture();
  EXPECT_FALSE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(f.Settings().WindowBorderStyle, 1);
  EXPECT_EQ(f.size(), QSize(414, 173));
  EXPECT_TRUE(f.isVisible());
}

TEST_F(FormTest, DraggingThePictureMovesTheWindowUnlessLocked) {
  TForm1& f = Start();
  const QPoint start = f.pos();
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, {10, 10}, Qt::LeftButton);
  EXPECT_TRUE(f.Settings().Dragging);
  EXPECT_EQ(f.Settings().DragX, 10);
  Mouse(QEvent::MouseMove, Qt::NoButton, {30, 25}, Qt::LeftButton);
  EXPECT_EQ(f.pos(), start + QPoint(20, 15));
  // The grabbed point stays under the pointer: the same picture point again
  // does not move the window further.
  Mouse(QEvent::MouseMove, Qt::NoButton, {10, 10}, Qt::LeftButton);
  EXPECT_EQ(f.pos(), start + QPoint(20, 15));
  // Locking during the drag stops the movement at once.
  Trigger("Lockwindowdrag1");
  EXPECT_TRUE(f.Settings().LockDrag);
  EXPECT_TRUE(Find<QAction>("Lockwindowdrag1")->isChecked());
  Mouse(QEvent::MouseMove, Qt::NoButton, {50, 50}, Qt::LeftButton);
  EXPECT_EQ(f.pos(), start + QPoint(20, 15));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {50, 50}, Qt::NoButton);
  EXPECT_FALSE(f.Settings().Dragging);

  // Locked: a press starts nothing.
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, {10, 10}, Qt::LeftButton);
  EXPECT_FALSE(f.Settings().Dragging);
  Trigger("Lockwindowdrag1");
  EXPECT_FALSE(f.Settings().LockDrag);
  Mouse(QEvent::MouseMove, Qt::NoButton, {40, 40}, Qt::LeftButton);
  EXPECT_EQ(f.pos(), start + QPoint(20, 15));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {40, 40}, Qt::NoButton);

  // The right button never drags.
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, {10, 10}, Qt::RightButton);
  EXPECT_FALSE(f.Settings().Dragging);
  Mouse(QEvent::MouseMove, Qt::NoButton, {60, 60}, Qt::RightButton);
  EXPECT_EQ(f.pos(), start + QPoint(20, 15));
  // Dragging records nothing.
  EXPECT_EQ(f.Settings().WindowLeft, 192);
}

TEST_F(FormTest, ClearingWhitensAllButColumnZeroAndRowZeroAndRestarts) {
  TForm1& f = Start();
  for (int i = 0; i < 5; ++i) f.Timer1Timer();
  ASSERT_GT(GreenPixels(), 0);
  ASSERT_EQ(f.Settings().TrayBitmap.Pixel(8, 0), kGrey);

  // The steps between Stop and Start, by themselves.
  const Surface before = f.Picture();
  f.ClearPictures();
  for (int y = 0; y < 160; ++y) ASSERT_EQ(f.Picture().Pixel(0, y), before.Pixel(0, y)) << y;
  for (int x = 0; x < 400; ++x) ASSERT_EQ(f.Picture().Pixel(x, 0), before.Pixel(x, 0)) << x;
  for (int y = 1; y < 160; ++y)
    for (int x = 1; x < 400; ++x) ASSERT_EQ(f.Picture().Pixel(x, y), kWhite) << x << "," << y;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(f.Settings().TrayBitmap.Pixel(x, y), kWhite);

  // The menu entry: its tick takes a new baseline and draws no sample.
  const int polls = poll.polls;
  Trigger("Clear1");
  EXPECT_EQ(poll.polls, polls + 1);
  EXPECT_EQ(GreenPixels(), 0);
  EXPECT_EQ(f.Settings().Oid1.Rate, 0);
  EXPECT_FALSE(f.Settings().Restart);
  EXPECT_TRUE(f.TimerRunning());
  for (int x = 1; x < 16; ++x) EXPECT_EQ(f.Settings().TrayBitmap.Pixel(x, 0), kWhite) << x;
  // The next tick draws samples again.
  f.Timer1Timer();
  EXPECT_GT(GreenPixels(), 0);
}

TEST_F(FormTest, TheWindowShowsThePictureItself) {
  TForm1& f = Start();
  for (int i = 0; i < 3; ++i) f.Timer1Timer();
  const QImage shown_image = Image1()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown_image.size(), QSize(400, 160));
  int differing = 0;
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 400; ++x) {
      const Color c = f.Picture().Pixel(x, y);
      differing += shown_image.pixel(x, y) != qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(GreenPixels(), 0);
}

TEST_F(FormTest, TheTooltipNamesTheProgramUntilTheFirstTickThenShowsTheRates) {
  TForm1& f = Create();
  EXPECT_EQ(f.TrayIcon()->toolTip(), "Plovex");
  f.FormCreate();  // a restart tick: rates 0
  EXPECT_EQ(f.TrayIcon()->toolTip(), "0 kB/s / 0 kB/s");
  f.Timer1Timer();
  EXPECT_EQ(f.TrayIcon()->toolTip(), "31.2 kB/s / 1.6 kB/s");
  EXPECT_EQ(Find<QLabel>("LblRstOID1")->text(), "Down 0MB");
}

// Most runs never open the configuration: its panel is built at the first
// opening, and until then the tick follows the record the panel would show.
TEST_F(FormTest, ThePanelIsBuiltAtItsFirstOpeningWithTheRecordAndTheTicksCaptions) {
  hive.Seed([](TPlovexSettings& s) { s.Ip = "10.9.8.7", s.SaveGif = false; });
  TForm1& f = Start();
  f.Timer1Timer();
  EXPECT_EQ(f.findChild<TConfigPanel*>(), nullptr);
  EXPECT_THAT(writer.calls, IsEmpty());  // "Save to GIF every" is off in the record
  Trigger("Configuration1");
  ASSERT_NE(f.findChild<TConfigPanel*>(), nullptr);
  EXPECT_EQ(PageShown(), 1);
  EXPECT_EQ(Find<QLineEdit>("edtIP")->text(), "10.9.8.7");
  EXPECT_FALSE(Find<QCheckBox>("chkSaveGIF")->isChecked());
  EXPECT_EQ(Find<QLabel>("LblRstOID1")->text(), "Down 0MB");
}

// The usage of today and of the billing period under the rates, as the
// recorder counts it; "History…" opens one window and raises it again.
TEST_F(FormTest, TheTooltipAddsTheUsageLineAndHistoryOpensOneWindow) {
  QTemporaryDir dir;
  usage_path = dir.filePath("history.sqlite").toStdString();
  hive.Seed([](TPlovexSettings& s) { s.UsageCap = "1000000000000"; });
  clock.SetUnix(1796738400);
  TForm1& f = Start();
  EXPECT_EQ(f.TrayIcon()->toolTip(), "0 kB/s / 0 kB/s\nToday 0 B \u00b7 this period 0 B of 1 TB");
  f.Timer1Timer();
  EXPECT_EQ(f.TrayIcon()->toolTip(),
            "31.2 kB/s / 1.6 kB/s\nToday 33.6 kB \u00b7 this period 33.6 kB of 1 TB");
  f.ReportFault(TickFault::kPictureFile, Status::IoError(std::string(200, 'x')));
  EXPECT_TRUE(
      f.TrayIcon()->toolTip().endsWith("\nToday 33.6 kB \u00b7 this period 33.6 kB of 1 TB"))
      << "a long fault gives way to the usage line";

  Trigger("History1");
  THistoryWindow* history = f.HistoryWindow();
  ASSERT_NE(history, nullptr);
  EXPECT_TRUE(history->isVisible());
  EXPECT_TRUE(history->findChild<QTimer*>("tmrHistory")->isActive());
  history->close();
  EXPECT_FALSE(history->findChild<QTimer*>("tmrHistory")->isActive()) << "no reading unseen";
  Find<QMenu>("TrayMenu1")->actions()[3]->trigger();
  EXPECT_EQ(f.HistoryWindow(), history);
  EXPECT_TRUE(history->isVisible());
  EXPECT_EQ(f.findChildren<THistoryWindow*>().size(), 1);
  form.reset();  // its recorder writes its last minute before the folder goes
}

TEST_F(FormTest, AFirstTickThatFailsLeavesTheProgramNameAndShowsTheError) {
  poll.fail_with = "'x' is not a valid integer value";
  TForm1& f = Start();
  EXPECT_EQ(f.TrayIcon()->toolTip(), "Plovex ('x' is not a valid integer value)");
  EXPECT_THAT(shown, ElementsAre("Plovex|'x' is not a valid integer value."));
  // The timer keeps running; the same fault on the next tick opens no box.
  EXPECT_TRUE(f.TimerRunning());
  f.Timer1Timer();
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(FormTest, AFaultIsShownOnceUntilItChangesOrATickRunsThrough) {
  TForm1& f = Start();
  f.Timer1Timer();
  const QString rates = f.TrayIcon()->toolTip();
  EXPECT_EQ(rates, "31.2 kB/s / 1.6 kB/s");

  poll.fail_with = "Division by zero";
  for (int i = 0; i < 5; ++i) f.Timer1Timer();
  EXPECT_THAT(shown, ElementsAre("Plovex|Division by zero."));
  // The hint keeps the last rates; the fault follows them.
  EXPECT_EQ(f.TrayIcon()->toolTip(), "31.2 kB/s / 1.6 kB/s (Division by zero)");

  // Another message is a new fault.
  poll.fail_with = "'x' is not a valid integer value";
  f.Timer1Timer();
  f.Timer1Timer();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], "Plovex|'x' is not a valid integer value.");
  EXPECT_EQ(f.TrayIcon()->toolTip(), "31.2 kB/s / 1.6 kB/s ('x' is not a valid integer value)");

  // A tick that runs through ends the fault: the hint is the rates again, and
  // the same message later is told again.
  poll.fail_with.reset();
  f.Timer1Timer();
  EXPECT_EQ(f.TrayIcon()->toolTip(), "31.2 kB/s / 1.6 kB/s");
  poll.fail_with = "'x' is not a valid integer value";
  f.Timer1Timer();
  EXPECT_EQ(shown.size(), 3u);

  // Start (also through Clear or Apply) runs a tick like any other.
  Trigger("Clear1");
  EXPECT_EQ(shown.size(), 3u);
}

TEST_F(FormTest, APictureThatCannotBeWrittenIsToldOnceAndTheGraphGoesOn) {
  TForm1& f = Start();
  writer.fail_on = "Plovex.gif";
  for (int i = 0; i < 5; ++i) f.Timer1Timer();
  EXPECT_THAT(shown, IsEmpty());  // told in the strip, not in a box
  EXPECT_EQ(f.StatusStrip()->Shown(), "Plovex.gif cannot be written in /srv/x: permission denied");
  EXPECT_GT(GreenPixels(), 0);
  EXPECT_FALSE(f.Settings().Restart);
  EXPECT_EQ(f.TrayIcon()->toolTip(),
            "31.2 kB/s / 1.6 kB/s (Plovex.gif cannot be written in /srv/x: permission denied)");
  writer.fail_on.reset();
  f.Timer1Timer();
  EXPECT_EQ(f.TrayIcon()->toolTip(), "31.2 kB/s / 1.6 kB/s");
  EXPECT_EQ(f.StatusStrip()->Shown(), "");
  EXPECT_THAT(shown, IsEmpty());
}

TEST_F(FormTest, TheStripSaysWhatIsWrongAndItsClickOpensThePageThatMendsIt) {
  const struct {
    const char* version;
    std::optional<std::pair<StatusCode, std::string>> silent;
    const char* read_only;  // a picture that cannot be written
    const char* strip;
    const char* page;
  } rows[] = {
      {"2c", std::pair{StatusCode::kTimedOut, ""}, nullptr,
       "No answer from 127.0.0.1 \u2014 is SNMP switched on in the router, and are the address "
       "and community right?",
       "Network"},
      {"1", std::pair{StatusCode::kNotFound, "no such host"}, nullptr, "127.0.0.1: no such host",
       "Network"},
      {"3", std::pair{StatusCode::kRefused, "wrong authentication key"}, nullptr,
       "Wrong authentication key for user plovex", kSnmpPageCaption},
      {"2c", std::nullopt, "Plovex.gif",
       "Plovex.gif cannot be written in /srv/x: permission denied", "GIF"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.strip);
    TForm1& f = Start();
    f.Settings().Ip = "127.0.0.1";
    f.Settings().SnmpVersion = row.version;
    f.Settings().SnmpUser = "plovex";
    poll.silent = row.silent;
    if (row.read_only) writer.fail_on = row.read_only;
    f.Timer1Timer();
    EXPECT_EQ(f.StatusStrip()->Shown().toStdString(), row.strip);
    EXPECT_THAT(shown, IsEmpty());
    // Drawn over the picture, never into it (nor into the files).
    for (const Surface* picture :
         std::initializer_list<const Surface*>{&f.Picture(), &writer.calls.back().picture})
      for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 400; ++x) ASSERT_NE(picture->Pixel(x, y), 0x303030u);

    QTest::mouseClick(f.StatusStrip(), Qt::LeftButton);
    EXPECT_EQ(PageShown(), 1);
    const auto* pages = Find<QStackedWidget>("PageControl2");
    EXPECT_EQ(pages->currentWidget()->windowTitle().toStdString(), row.page);

    poll.silent.reset();
    writer.fail_on.reset();
    f.Timer1Timer();
    EXPECT_EQ(f.StatusStrip()->Shown(), "");
    form.reset();
  }
}

TEST_F(FormTest, ASnapshotIsToldInTheStripForAFewSeconds) {
  TForm1& f = Start();
  writer.fail_on = "Plovex.gif";
  f.Timer1Timer();
  Trigger("InstantSnapShot1");
  f.Timer1Timer();
  EXPECT_EQ(f.StatusStrip()->Shown(), "Snapshot written to /srv/x/PlovexSnapShot.gif");
  f.StatusStrip()->EndNotice();
  EXPECT_EQ(f.StatusStrip()->Shown(), "Plovex.gif cannot be written in /srv/x: permission denied");
}

TEST_F(FormTest, TheWindowClosesWhileTheBoxIsOpen) {
  for (const char* path : {"close button", "Close1"}) {
    SCOPED_TRACE(path);
    hive.Seed();
    TForm1& f = Start();
    f.Errors().SetPresenter(nullptr);  // the real box
    f.show();
    poll.fail_with = "Division by zero";
    f.Timer1Timer();
    auto* box = f.findChild<QMessageBox*>("ErrorBox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "Division by zero.");
    // Nothing blocks the window: the timer goes on in the ordinary loop, and
    // further failures wait for this box to go.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(f.TimerRunning());
    poll.fail_with = "Stream write error";
    f.Timer1Timer();
    EXPECT_EQ(f.findChildren<QMessageBox*>().size(), 1);

    CloseBy(path);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.TimerRunning());
    EXPECT_FALSE(f.Errors().Showing());
    EXPECT_TRUE(hive.Stored().Ip == "127.0.0.1");
    poll.fail_with.reset();
  }
}

TEST_F(FormTest, AStoredZeroTickFreqIsToldOnceAndTheGraphRuns) {
  hive.Seed([](TPlovexSettings& s) { s.TickFreq = 0; });
  TForm1& f = Start();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_THAT(shown[0], ::testing::HasSubstr("Tick every must be at least 1 minute"));
  EXPECT_EQ(f.Settings().TickFreq, 1);
  EXPECT_TRUE(f.TimerRunning());
  for (int i = 0; i < 3; ++i) f.Timer1Timer();
  EXPECT_EQ(shown.size(), 1u) << "no \"Division by zero\" from the ticks";
  EXPECT_GT(GreenPixels(), 0);
}

TEST_F(FormTest, TimerErrorsWhileABoxIsOpenAreNotStacked) {
  TForm1& f = Start();
  poll.fail_with = "Division by zero";
  int expiries_in_box = 0;
  f.Errors().SetPresenter([&](const QString&, const QString& text) {
    shown.push_back(text.toStdString());
    // Expiries during the box's modal loop fail the same way.
    for (; expiries_in_box < 2; ++expiries_in_box) f.Timer1Timer();
  });
  f.Timer1Timer();
  EXPECT_EQ(expiries_in_box, 2);
  EXPECT_THAT(shown, ElementsAre("Division by zero."));
  EXPECT_TRUE(f.TimerRunning());
}

// Every setting away from its default (the host stays the local one).
void SetUnusualValues(TPlovexSettings& s) {
  s.Community = "pub\"lic\\";
  s.SnmpVersion = "2c";
  s.SnmpUser = "operator";
  s.SnmpAuthProtocol = "SHA-256";
  s.SnmpPrivProtocol = "AES";
  s.SnmpAuthKey = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
  s.SnmpPrivKey = "ffeeddccbbaa99887766554433221100ffeeddccbbaa99887766554433221100";
  s.Oid1 = {0, 0, 77, 0, 0x00123456, 0x00FFFFFF, false, -3, 41, "1.3.6.1.2.1.2.2.1.10.7", true};
  s.Oid2 = {0, 0, -9, 0, 0x80000005, 0x00C0C0C0, true, 51, 42, "1.3.6.1.2.1.2.2.1.16.7", true};
  s.GraphTopX = 3, s.GraphTopY = 13, s.GraphBottomX = 399, s.GraphBottomY = 146;
  s.HTicks = false, s.VTicks = false, s.TickFreq = 5, s.Refresh = 3;
  s.GraphLabel = false, s.MaxBytes = 128000, s.TextSize = 9, s.SaveGif = false;
  s.SaveGifFreq = 15, s.ShowTotal = false, s.TotalX = 101, s.TotalY = 2;
  for (int k = 1; k <= 5; ++k) {
    const std::string n = std::to_string(k);
    s.Texts[k] = {false, "Text " + n + " = %" + n, "1.3.6.1.4.1." + n, "String", 10 + k, 20 + k};
  }
  s.WindowTop = 40, s.WindowLeft = 50, s.WindowBorderStyle = 2;
  s.LockDrag = true, s.StayOnTop = true;
}

QByteArray ReadAll(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const std::string& path, const QByteArray& bytes) {
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

TEST_F(FormTest, AKeyLackingAValueIsShownOnceAndSurvivesAStartAndCloseByteForByte) {
  hive.Seed(SetUnusualValues);
  QByteArray text = ReadAll(hive.Hive().path());
  const int at = text.indexOf("\"OID1Cx\"");
  ASSERT_GE(at, 0);
  text.remove(at, text.indexOf('\n', at) - at + 1);
  // The marker as a load leaves it, so that nothing at all may change.
  text.replace("\"VersionNum\"=hex:33,33,33,33,33,33,f3,3f",
               "\"VersionNum\"=hex:5c,8f,c2,f5,28,5c,f3,3f");
  WriteAll(hive.Hive().path(), text);

  TForm1& f = Start();
  EXPECT_THAT(shown, ElementsAre("Plovex|Failed to get data for 'OID1Cx'"));
  EXPECT_EQ(Find<QLineEdit>("edtIP")->text(), "127.0.0.1");
  EXPECT_EQ(f.Settings().Oid1.Oid, "1.3.6.1.2.1.2.2.1.10.7") << "read before the failure";
  EXPECT_EQ(f.Settings().Refresh, 1) << "not read: the default, so the program runs";
  EXPECT_TRUE(f.TimerRunning());
  EXPECT_EQ(f.TimerInterval(), 1000);
  f.Timer1Timer();
  EXPECT_EQ(shown.size(), 1u) << "no division by zero";
  f.show();
  EXPECT_TRUE(f.close());
  EXPECT_EQ(ReadAll(hive.Hive().path()), text);

  // Applying makes the record the user's: the next close saves it.
  TForm1& again = Start();
  Trigger("Configuration1");
  Type("edtRefresh", "2");
  Find<QPushButton>("Button1")->click();
  EXPECT_TRUE(again.close());
  const TPlovexSettings stored = hive.Stored();
  EXPECT_EQ(stored.Refresh, 2);
  EXPECT_EQ(stored.Oid1.TextX, 2);
  EXPECT_EQ(stored.Oid1.Oid, "1.3.6.1.2.1.2.2.1.10.7");
}

TEST_F(FormTest, AHiveThatCannotBeParsedIsNamedInOneBox) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(QString::fromStdString(hive.Hive().path())).path()));
  WriteAll(hive.Hive().path(),
           QByteArray("Windows Registry Editor Version 5.00\n\n\x01\x02junk\n"));
  Start();
  ASSERT_EQ(shown.size(), 1u);
  const std::string prefix = "Plovex|The settings file '" + hive.Hive().path() +
                             "' cannot be read (line 3: unrecognised line); it was kept as '" +
                             hive.Hive().path() + ".bad-";
  EXPECT_THAT(shown[0], ::testing::StartsWith(prefix));
  EXPECT_FALSE(hive.Exists());
}

TEST_F(FormTest, ApplyWithANewFullScaleClearsAndRestartsOnTheGraphPage) {
  TForm1& f = Start();
  for (int i = 0; i < 3; ++i) f.Timer1Timer();
  Trigger("Configuration1");
  EXPECT_EQ(PageShown(), 1);
  Type("edtMax", "32000");
  Type("edtRefresh", "5");
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(shown, IsEmpty());
  EXPECT_EQ(PageShown(), 0);
  EXPECT_EQ(f.Settings().MaxBytes, 32000);
  EXPECT_EQ(GreenPixels(), 0);  // cleared, then a restart tick
  EXPECT_EQ(f.TimerInterval(), 5000);
  EXPECT_TRUE(f.TimerRunning());
}

// Applied settings are in the hive at once, on the restarting path and the
// other: a crash or a lost display no longer loses them.
TEST_F(FormTest, ApplySavesTheSettingsAtOnce) {
  hive.Seed();
  TForm1& f = Start();
  for (const auto& [edit, text] : {std::pair{"edtMax", "32000"}, {"edtTotalX", "123"}}) {
    Trigger("Configuration1");
    Type(edit, text);
    Find<QPushButton>("Button1")->click();
  }
  EXPECT_THAT(shown, IsEmpty());
  EXPECT_TRUE(f.TimerRunning());
  const TPlovexSettings stored = hive.Stored();
  EXPECT_EQ(stored.MaxBytes, 32000);
  EXPECT_EQ(stored.TotalX, 123);
}

// The window's pictures go to the user's state folder, made when needed, or
// to the folder the settings name; never into the working directory (the
// home folder, when started from the applications menu).
TEST_F(FormTest, PicturesGoToTheStateFolderUnlessAFolderIsSet) {
  QTemporaryDir tmp;
  const QString root = tmp.path();
  ASSERT_TRUE(QDir(root).mkpath("work") && QDir(root).mkpath("pub"));
  const QString old_cwd = QDir::currentPath();
  const QByteArray old_state = qgetenv("XDG_STATE_HOME"), old_home = qgetenv("HOME");
  QDir::setCurrent(root + "/work");
  struct Row {
    QByteArray state_home, home;
    QString gif_folder, expected_dir;
  };
  for (const Row& row :
       {Row{root.toUtf8() + "/state", "/nonexistent", "", root + "/state/plovex"},
        Row{"", root.toUtf8() + "/home", "", root + "/home/.local/state/plovex"},
        Row{root.toUtf8() + "/state", "/nonexistent", root + "/pub", root + "/pub"}}) {
    SCOPED_TRACE(row.expected_dir.toStdString());
    qputenv("XDG_STATE_HOME", row.state_home);
    qputenv("HOME", row.home);
    hive.Seed([&](TPlovexSettings& s) { s.GifFolder = row.gif_folder.toStdString(); });
    form = std::make_unique<TForm1>(TForm1Seams{&hive.Hive(), &poll, nullptr, &clock});
    form->FormCreate();
    EXPECT_TRUE(QFileInfo::exists(row.expected_dir + "/Plovex.gif"));
    if (row.gif_folder.isEmpty()) {
      struct stat st {};
      ASSERT_EQ(stat(row.expected_dir.toUtf8().constData(), &st), 0);
      EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    form.reset();
  }
  EXPECT_TRUE(QDir(root + "/work").isEmpty());
  QDir::setCurrent(old_cwd);
  qputenv("XDG_STATE_HOME", old_state);
  qputenv("HOME", old_home);
}

TEST_F(FormTest, AStoredRefreshOfZeroIsToldAndTheTimerRunsOnTheDefault) {
  hive.Seed([](TPlovexSettings& s) { s.Refresh = 0; });
  TForm1& f = Start();
  // Not a "Division by zero" at every tick, nor a timer that never fires.
  EXPECT_THAT(shown, ElementsAre("Plovex|The stored \"Refresh\" is 0. Refresh must be at least 1 "
                                 "second; 1 is used until you apply another value."));
  EXPECT_TRUE(f.TimerRunning());
  EXPECT_EQ(f.TimerInterval(), 1000);
  EXPECT_FALSE(Find<QPushButton>("Button2")->isEnabled());  // monitoring is on
  Type("edtRefresh", "0");
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(shown.back(), "Plovex|Refresh must be at least 1 second.");
  EXPECT_EQ(f.TimerInterval(), 1000);
  Type("edtRefresh", "2");
  Find<QPushButton>("Button1")->click();
  EXPECT_TRUE(f.TimerRunning());
  EXPECT_EQ(f.TimerInterval(), 2000);
  f.Button3Click();
  EXPECT_FALSE(f.TimerRunning());
  EXPECT_TRUE(Find<QPushButton>("Button2")->isEnabled());
}

TEST_F(FormTest, CancelAfterAMovePutsTheWindowBackWhereTheRecordHasIt) {
  TForm1& f = Start();
  f.move(300, 250);
  Trigger("Configuration1");
  Find<QPushButton>("Button4")->click();
  EXPECT_EQ(f.pos(), QPoint(192, 105));
  EXPECT_EQ(PageShown(), 0);
}

TEST_F(FormTest, ASnapshotIsWrittenByTheNextTickOnly) {
  TForm1& f = Start();
  f.Button3Click();
  writer.calls.clear();
  Trigger("InstantSnapShot1");
  EXPECT_TRUE(f.Settings().SnapshotPending);
  EXPECT_THAT(writer.calls, IsEmpty());
  f.Timer1Timer();
  ASSERT_FALSE(writer.calls.empty());
  EXPECT_EQ(writer.calls.back().names, std::vector<std::string>{"PlovexSnapShot.gif"});
  EXPECT_FALSE(f.Settings().SnapshotPending);
}

TEST_F(FormTest, MinimisingHidesIntoTheTrayAndADoubleClickBringsTheWindowBack) {
  tray.available = true;
  TForm1& f = Start();
  f.ShowAtStart();
  Trigger("Minimize1");
  QCoreApplication::processEvents();
  EXPECT_FALSE(f.isVisible());
  emit f.TrayIcon()->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(f.isMinimized());
}

TEST_F(FormTest, WithoutATrayMinimisingNeverHidesTheWindow) {
  tray.available = false;
  TForm1& f = Start();
  f.ShowAtStart();
  Trigger("Minimize1");
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(f.isMinimized());
}

TEST_F(FormTest, AStoredMinimisedStateStartsInTheTray) {
  hive.Seed([](TPlovexSettings& s) { s.WindowState = 2; });
  tray.available = true;
  TForm1& f = Start();
  f.ShowAtStart();
  QCoreApplication::processEvents();
  EXPECT_FALSE(f.isVisible());
  EXPECT_TRUE(f.isMinimized());
  emit f.TrayIcon()->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(f.isMinimized());
}

TEST_F(FormTest, TheTrayMenuHoldsTheWindowsCommandsAndBringsAHiddenWindowBack) {
  tray.available = true;
  TForm1& f = Start();
  f.ShowAtStart();
  auto* menu = Find<QMenu>("TrayMenu1");
  QStringList entries;
  for (QAction* a : menu->actions()) entries << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(entries,
            QStringList({"Hide Plovex", "-", "Configuration", "History\u2026", "Instant SnapShot",
                         "-", "Clear", "-", "Stay on top", "Lock window drag", "-", "Close"}));
  for (const char* name : {"Configuration1", "History1", "Clear1", "Stayontop1", "Close1"}) {
    EXPECT_TRUE(menu->actions().contains(Find<QAction>(name))) << name;
  }
  Trigger("ShowHide1");
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(Find<QAction>("ShowHide1")->text(), "Show Plovex");
  Trigger("Configuration1");
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(PageShown(), 1);
  EXPECT_EQ(Find<QAction>("ShowHide1")->text(), "Hide Plovex");
}

class FormKeys : public FormTest {
 protected:
  TForm1& Activated() {
    TForm1& f = Start();
    f.show();
    QApplication::setActiveWindow(&f);
    return f;
  }
  void Key(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(to, static_cast<Qt::Key>(key), modifiers);
  }
};

TEST_F(FormKeys, TheMenuKeyAndShiftF10OpenTheMenuOverThePicture) {
  Activated();
  EXPECT_EQ(QApplication::focusWidget(), Image1());  // the keys go there from the start
  auto* menu = Find<QMenu>("PopupMenu1");
  const QRect picture(Image1()->mapToGlobal(QPoint(0, 0)), Image1()->size());
  struct Row {
    int key;
    Qt::KeyboardModifiers modifiers;
    bool opens;
  } rows[] = {{Qt::Key_Menu, Qt::NoModifier, true},
              {Qt::Key_F10, Qt::ShiftModifier, true},
              {Qt::Key_F10, Qt::NoModifier, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    Key(QApplication::focusWidget(), r.key, r.modifiers);
    EXPECT_EQ(menu->isVisible(), r.opens);
    if (r.opens) {
      EXPECT_TRUE(picture.contains(menu->pos()));
    }
    menu->hide();
  }
}

TEST_F(FormKeys, FocusBroughtByTheKeysShowsAroundThePicture) {
  Activated();
  auto* bevel = Find<QWidget>("Panel1");
  const QRgb plain = bevel->grab().toImage().pixel(0, 0);
  Key(Image1(), Qt::Key_Tab);  // round the focus chain, back to the picture
  ASSERT_EQ(QApplication::focusWidget(), Image1());
  EXPECT_EQ(QColor(bevel->grab().toImage().pixel(0, 0)),
            bevel->palette().color(QPalette::Highlight));
  EXPECT_NE(bevel->grab().toImage().pixel(0, 0), plain);
}

TEST_F(FormKeys, ThePanelsTreeFollowsTheKeysEnterAppliesAndEscapeCancels) {
  Activated();
  Trigger("Configuration1");
  auto* tree = Find<QWidget>("TreeView1");
  ASSERT_TRUE(tree->hasFocus());
  auto* pages = Find<QStackedWidget>("PageControl2");
  // Collapsed, the top nodes are About, Network, Graph, Text, Reset, Usage and Notifications.
  const std::pair<int, int> moves[] = {{Qt::Key_End, 17}, {Qt::Key_Home, 0},  {Qt::Key_Down, 1},
                                       {Qt::Key_Down, 3}, {Qt::Key_Right, 3}, {Qt::Key_Down, 4}};
  for (auto [key, page] : moves) {
    Key(tree, key);
    EXPECT_EQ(pages->currentIndex(), page) << key;
  }

  // Escape cancels what was typed; Enter applies it, also from an edit.
  Type("edtMax", "128000");
  Key(Find<QWidget>("edtMax"), Qt::Key_Escape);
  EXPECT_EQ(PageShown(), 0);
  EXPECT_EQ(Find<QLineEdit>("edtMax")->text(), "64000");
  Trigger("Configuration1");
  Type("edtMax", "128000");
  Key(Find<QWidget>("edtMax"), Qt::Key_Return);
  EXPECT_EQ(PageShown(), 0);
  EXPECT_EQ(form->Settings().MaxBytes, 128000);
  // Enter on a focused button presses that button, not Apply.
  Trigger("Configuration1");
  Type("edtMax", "256000");
  auto* cancel = Find<QPushButton>("Button4");
  cancel->setFocus();
  Key(cancel, Qt::Key_Enter);
  EXPECT_EQ(PageShown(), 0);
  EXPECT_EQ(form->Settings().MaxBytes, 128000);
}

TEST_F(FormTest, WhereTheCompositorPlacesWindowsItMovesThemAndNoPlaceIsRecorded) {
  // Wayland: no placing, no stacking, moves by the compositor.
  platform.places = false;
  platform.keeps_above = false;
  platform.system_moves = true;
  hive.Seed([](TPlovexSettings& s) { s.StayOnTop = true; });
  TForm1& f = Start();
  f.ShowAtStart();
  QAction* on_top = Find<QAction>("Stayontop1");
  EXPECT_FALSE(on_top->isEnabled());
  EXPECT_EQ(on_top->toolTip(), TForm1::kNoStayOnTopReason);
  EXPECT_TRUE(on_top->isChecked());  // the stored choice is kept
  EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  const QPoint start = f.pos();
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, {10, 10}, Qt::LeftButton);
  Mouse(QEvent::MouseMove, Qt::NoButton, {12, 11}, Qt::LeftButton);
  EXPECT_EQ(platform.moves, 0);  // still a click
  Mouse(QEvent::MouseMove, Qt::NoButton, {40, 30}, Qt::LeftButton);
  EXPECT_EQ(platform.moves, 1);
  EXPECT_FALSE(f.Settings().Dragging);
  Mouse(QEvent::MouseMove, Qt::NoButton, {60, 50}, Qt::LeftButton);
  EXPECT_EQ(f.pos(), start);
  EXPECT_EQ(platform.moves, 1);

  // The frame changes on the window as it stands: no new native window.
  const QWindow* native = f.windowHandle();
  DoubleClickPicture();
  EXPECT_TRUE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(f.windowHandle(), native);
  EXPECT_TRUE(f.isVisible());

  // What the platform reports as the place is not recorded.
  f.move(-3, -30);
  Trigger("Configuration1");
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(f.Settings().WindowTop, 105);
  EXPECT_EQ(f.Settings().WindowLeft, 192);
  EXPECT_EQ(f.Settings().WindowBorderStyle, 2);
}

TEST_F(FormTest, AStoredPlaceOnNoScreenOpensOnThePrimaryScreen) {
  hive.Seed([](TPlovexSettings& s) {
    s.WindowTop = -30;
    s.WindowLeft = -3;
  });
  TForm1& f = Start();
  f.ShowAtStart();
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(f.pos(), work.topLeft());
}

TEST_F(FormTest, TheCloseButtonAndTheCloseCommandSaveTheRecord) {
  for (const char* path : {"close button", "Close1"}) {
    SCOPED_TRACE(path);
    hive.Seed();
    shown.clear();
    TForm1& f = Start();
    Trigger("Lockwindowdrag1");
    Trigger("Configuration1");
    Type("edtCommunity", "changed");
    Find<QPushButton>("Button1")->click();
    f.show();
    CloseBy(path);
    EXPECT_THAT(shown, IsEmpty());
    EXPECT_FALSE(f.TimerRunning());
    EXPECT_FALSE(f.isVisible());
    ASSERT_TRUE(hive.Exists());
    const TPlovexSettings stored = hive.Stored();
    EXPECT_TRUE(stored.LockDrag);
    EXPECT_EQ(stored.Community, "changed");
    EXPECT_EQ(stored.Ip, "127.0.0.1");
    EXPECT_EQ(stored.WindowLeft, 192);
    EXPECT_EQ(stored.MaxBytes, 64000);
  }
}

TEST_F(FormTest, SettingsThatCannotBeSavedAreShownOnceAndTheWindowClosesAllTheSame) {
  hive.Seed();
  // A directory where the hive's temporary file must go: every commit fails.
  const QString blocker = QString::fromStdString(hive.Hive().path()) + ".tmp";
  const QByteArray before = ReadAll(hive.Hive().path());
  for (const char* path : {"close button", "Close1"}) {
    SCOPED_TRACE(path);
    shown.clear();
    ASSERT_TRUE(QDir().mkpath(blocker));
    TForm1& f = Start();
    EXPECT_THAT(shown, ElementsAre(::testing::StartsWith("Plovex|Failed to set data for ")));
    // A signal while the closing box waits (a logout) ends the program with
    // the failure, not with success.
    std::ostringstream err;
    std::optional<bool> signal_saved;
    f.Errors().SetPresenter([&](const QString& caption, const QString& text) {
      shown.push_back((caption + "|" + text).toStdString());
      if (f.Closing()) signal_saved = f.CloseOnSignal(err);
    });
    f.show();
    CloseBy(path);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.TimerRunning());
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], "Plovex|Failed to set data for 'VersionNum'");
    EXPECT_EQ(signal_saved, false);
    EXPECT_EQ(err.str(), "plovex: Failed to set data for 'VersionNum'\n");
    EXPECT_EQ(ReadAll(hive.Hive().path()), before);
    ASSERT_TRUE(QDir(blocker).removeRecursively());
  }
}

TEST_F(FormTest, ASignalEndsTheWindowWithAFailedSaveOnStandardError) {
  hive.Seed();
  const QString blocker = QString::fromStdString(hive.Hive().path()) + ".tmp";
  ASSERT_TRUE(QDir().mkpath(blocker));
  TForm1& f = Start();
  f.show();
  std::ostringstream err;
  EXPECT_FALSE(f.CloseOnSignal(err));
  EXPECT_EQ(err.str(), "plovex: Failed to set data for 'VersionNum'\n");
  EXPECT_EQ(shown.size(), 1u) << "only the load's box; the signal's failure is not boxed";
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(f.TimerRunning());
  EXPECT_TRUE(f.Closing());
  QDir(blocker).removeRecursively();
}

// Mounts over the hive's folder in a mount namespace of this test process
// alone; nullopt when the system does not allow it.
class PrivateMount {
 public:
  static std::unique_ptr<PrivateMount> Over(const std::string& dir, const char* type,
                                            const char* options, unsigned long flags) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      return nullptr;
    }
    if (flags & MS_BIND) {
      if (::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
          ::mount(nullptr, dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return nullptr;
      }
    } else if (::mount(type, dir.c_str(), type, flags, options) != 0) {
      return nullptr;
    }
    return std::unique_ptr<PrivateMount>(new PrivateMount(dir));
  }
  ~PrivateMount() { ::umount2(dir_.c_str(), MNT_DETACH); }

 private:
  explicit PrivateMount(std::string dir) : dir_(std::move(dir)) {}
  std::string dir_;
};

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

TEST_F(FormTest, AReadOnlySettingsFolderNeitherKeepsTheWindowOpenNorLosesAnything) {
  hive.Seed();
  const QByteArray before = ReadAll(hive.Hive().path());
  auto mount = PrivateMount::Over(FolderOf(hive.Hive().path()), nullptr, nullptr, MS_BIND);
  if (!mount) GTEST_SKIP() << "no private mounts here";
  TForm1& f = Start();
  EXPECT_THAT(shown, ElementsAre("Plovex|Failed to set data for 'VersionNum'"));
  Trigger("Configuration1");
  Type("edtCommunity", "changed");
  Find<QPushButton>("Button1")->click();
  f.show();
  EXPECT_TRUE(f.close());
  EXPECT_FALSE(f.isVisible());
  // Told at the load, at Apply (which saves) and at the close.
  EXPECT_EQ(shown.size(), 3u);
  EXPECT_EQ(ReadAll(hive.Hive().path()), before);
}

TEST_F(FormTest, AFullDiskNeitherKeepsTheWindowOpenNorLosesAnything) {
  const std::string folder = FolderOf(hive.Hive().path());
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
  auto mount = PrivateMount::Over(folder, "tmpfs", "size=64k", 0);
  if (!mount) GTEST_SKIP() << "no private mounts here";
  hive.Seed();
  const QByteArray before = ReadAll(hive.Hive().path());
  {
    QFile filler(QString::fromStdString(folder + "/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) > 0 && filler.flush()) {
    }
  }
  TForm1& f = Start();
  EXPECT_THAT(shown, ElementsAre("Plovex|Failed to set data for 'VersionNum'"));
  f.Settings().Community = std::string(100000, 'c');  // more than fits, whatever is left
  f.SettingsApplied();
  f.show();
  EXPECT_TRUE(f.close());
  EXPECT_FALSE(f.isVisible());
  // Told at the load, at Apply (which saves) and at the close.
  EXPECT_EQ(shown.size(), 3u);
  EXPECT_EQ(ReadAll(hive.Hive().path()), before);
  QFile::remove(QString::fromStdString(folder + "/filler"));
}

}  // namespace
}  // namespace plovex
