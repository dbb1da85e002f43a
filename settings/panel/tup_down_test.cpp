#include "settings/panel/tup_down.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

namespace plovex {
namespace {

struct UpDownFixture : ::testing::Test {
  QWidget page;
  QLineEdit* edit = new QLineEdit(&page);
  TUpDown* ud = new TUpDown(edit, {1, 3600}, &page);
  QToolButton* up = ud->findChild<QToolButton*>("up");
  QToolButton* down = ud->findChild<QToolButton*>("down");
};

TEST_F(UpDownFixture, ArrowsStepWithinTheRangeAndWriteTheEdit) {
  ASSERT_NE(up, nullptr);
  ASSERT_NE(down, nullptr);
  ud->SetPosition(3599);
  EXPECT_EQ(edit->text(), "3599");
  up->click();
  EXPECT_EQ(ud->Position(), 3600);
  up->click();  // no wrap
  EXPECT_EQ(ud->Position(), 3600);
  EXPECT_EQ(edit->text(), "3600");  // plain digits, no grouping
  ud->SetPosition(1);
  down->click();
  EXPECT_EQ(ud->Position(), 1);
  EXPECT_EQ(edit->text(), "1");
}

TEST_F(UpDownFixture, ArrowKeysInTheEditStep) {
  ud->SetPosition(10);
  QTest::keyClick(edit, Qt::Key_Up);
  QTest::keyClick(edit, Qt::Key_Up);
  QTest::keyClick(edit, Qt::Key_Down);
  EXPECT_EQ(ud->Position(), 11);
  EXPECT_EQ(edit->text(), "11");
}

TEST_F(UpDownFixture, TypedTextIsKeptAsTypedAndIsThePositionOnlyWhenInRange) {
  ud->SetPosition(1);
  edit->selectAll();
  QTest::keyClicks(edit, "250");
  EXPECT_EQ(edit->text(), "250");
  EXPECT_EQ(ud->Position(), 250);

  edit->selectAll();
  QTest::keyClicks(edit, "5000");
  EXPECT_EQ(edit->text(), "5000");
  EXPECT_EQ(ud->Position(), 250);

  edit->selectAll();
  QTest::keyClicks(edit, "abc");
  EXPECT_EQ(edit->text(), "abc");
  EXPECT_EQ(ud->Position(), 250);

  // The arrows step from the position, not from the text beyond the range.
  edit->selectAll();
  QTest::keyClicks(edit, "4000");
  up->click();
  EXPECT_EQ(edit->text(), "251");
}

TEST_F(UpDownFixture, ProgramPositionsOutsideTheRangeLandOnTheNearerEnd) {
  ud->SetPosition(5000);
  EXPECT_EQ(ud->Position(), 3600);
  EXPECT_EQ(edit->text(), "3600");
  ud->SetPosition(0);
  EXPECT_EQ(ud->Position(), 1);
}

}  // namespace
}  // namespace plovex
