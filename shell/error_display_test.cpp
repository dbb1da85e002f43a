#include "shell/error_display.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
