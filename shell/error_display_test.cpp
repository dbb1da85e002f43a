#include "shell/error_display.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <stdexcept>

#include "core/plovex_error.h"

namespace plovex {
namespace {

using ::testing::ElementsAre;

struct ErrorDisplayTest : ::testing::Test {
  ErrorDisplayTest() {
    display.SetPresenter([this](const QString& caption, const QString& text) {
      shown.push_back((caption + "|" + text).toStdString());
      if (on_show) on_show();
    });
  }
  ErrorDisplay display{nullptr};
  std::vector<std::string> shown;
  std::function<void()> on_show;
};

TEST_F(ErrorDisplayTest, ShowsTheMessageCaptionedWithTheProgramAndAFullStopWhereItSortsAbove) {
  display.Run([] { throw PlovexError("'abc' is not a valid integer value"); });
  display.Run([] { throw PlovexError("Failed to get data for 'OID1Cx'"); });
  display.Run([] { throw std::runtime_error("Ends with a dot."); });
  display.Run([] {});
  EXPECT_THAT(shown,
              ElementsAre("Plovex|'abc' is not a valid integer value.",
                          "Plovex|Failed to get data for 'OID1Cx'", "Plovex|Ends with a dot."));
  EXPECT_FALSE(display.Showing());
}

TEST_F(ErrorDisplayTest, ErrorsWhileABoxIsOpenAreNotStacked) {
  int nested_runs = 0;
  on_show = [&] {
    EXPECT_TRUE(display.Showing());
    // Timer expiries in the box's modal loop keep failing.
    for (int i = 0; i < 3; ++i) {
      display.Run([&] {
        ++nested_runs;
        throw PlovexError("Division by zero");
      });
    }
  };
  display.Run([] { throw PlovexError("Division by zero"); });
  EXPECT_EQ(nested_runs, 3);
  EXPECT_THAT(shown, ElementsAre("Plovex|Division by zero."));

  // Once the box is closed the next error shows again.
  on_show = nullptr;
  display.Run([] { throw PlovexError("Stream write error"); });
  EXPECT_EQ(shown.size(), 2u);
}

TEST_F(ErrorDisplayTest, APresenterThatThrowsStillReleasesTheBox) {
  display.SetPresenter([](const QString&, const QString&) { throw std::runtime_error("x"); });
  EXPECT_THROW(display.Show("first"), std::runtime_error);
  EXPECT_FALSE(display.Showing());
}

TEST_F(ErrorDisplayTest, ATickFaultIsToldOnceWhileItLasts) {
  std::vector<std::string> heard;
  const auto fail = [](const char* m) { return [m] { throw PlovexError(m); }; };
  const auto tick = [&](const std::function<void()>& t) {
    display.RunTick(t, [&](const std::string& m) { heard.push_back(m); });
  };
  tick(fail("Division by zero"));
  tick(fail("Division by zero"));
  tick(fail("Stream write error"));
  tick(fail("Stream write error"));
  tick([] {});
  tick(fail("Stream write error"));
  EXPECT_THAT(shown, ElementsAre("Plovex|Division by zero.", "Plovex|Stream write error.",
                                 "Plovex|Stream write error."));
  // Every failure is heard, repeated or not.
  EXPECT_EQ(heard.size(), 5u);

  // A new fault that finds a box open is told by the next tick that fails so.
  shown.clear();
  on_show = [&] { tick(fail("Cannot create file Plovex.gif")); };
  display.Run(fail("'x' is not a valid integer value"));
  on_show = nullptr;
  tick(fail("Cannot create file Plovex.gif"));
  EXPECT_THAT(shown, ElementsAre("Plovex|'x' is not a valid integer value.",
                                 "Plovex|Cannot create file Plovex.gif."));
}

TEST(ModelessBox, LeavesTheWindowFreeAndGoesWhenDismissedOrDone) {
  QWidget window;
  window.show();
  ErrorDisplay display(&window);
  display.Run([] { throw PlovexError("Division by zero"); });
  auto* box = window.findChild<QMessageBox*>("ErrorBox");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(display.Showing());
  display.Run([] { throw PlovexError("Stream write error"); });
  EXPECT_EQ(window.findChildren<QMessageBox*>().size(), 1);

  // OK closes it, and the box is freed; the next error opens a new one.
  QPointer<QMessageBox> gone = box;
  box->button(QMessageBox::Ok)->click();
  EXPECT_FALSE(display.Showing());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(gone.isNull());
  display.Run([] { throw PlovexError("Stream write error"); });
  ASSERT_EQ(window.findChildren<QMessageBox*>().size(), 1);
  display.Dismiss();
  EXPECT_FALSE(display.Showing());
}

TEST(ErrorBox, IsACriticalBoxThatShowsMarkupAsTyped) {
  const auto box =
      ErrorDisplay::MakeBox(nullptr, "Plovex", "'<b>1</b>' is not a valid integer value");
  EXPECT_EQ(box->windowTitle(), "Plovex");
  EXPECT_EQ(box->icon(), QMessageBox::Critical);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  EXPECT_EQ(box->text(), "'<b>1</b>' is not a valid integer value");
  EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

}  // namespace
}  // namespace plovex
