// The History window on a real X display (Xvfb, started by
// history_xvfb_test.sh), over a store filled with a year of traffic.
#include "shell/thistory_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "history/testing/usage_fill.h"
#include "history/usage_store.h"

namespace plovex {
namespace {

class HistoryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyDefaultSettings(s_);
    s_.Ip = "127.0.0.1";
    s_.UsageResetDay = 1;
    s_.UsageCap = "1000000000000";
    path_ = dir_.filePath("history.sqlite").toStdString();
    font_ = Font::Find("Arial");
  }
  void Fill(const UsageKey& key) {
    Result<std::unique_ptr<UsageStore>> store = UsageStore::Open(path_);
    ASSERT_TRUE(store.ok()) << store.status().message();
    ASSERT_TRUE(FillUsageStore(**store, key, kNow).ok());
  }
  std::unique_ptr<THistoryWindow> Open() {
    auto window = std::make_unique<THistoryWindow>(s_, path_, font_.get(), nullptr);
    window->SetClock([] { return kNow; });
    window->SetWarner([this](const QString& m) { warnings_ << m; });
    window->Refresh();
    return window;
  }
  template <typename W>
  static W* Find(QWidget& w, const char* name) {
    W* found = w.findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  UsageKey Key() const { return MakeUsageKey(s_.Ip, s_.Interface, s_.Oid1.Oid, s_.Oid2.Oid); }

  static constexpr std::int64_t kNow = 1796738400;  // a Tuesday, 2026-12-08 14:00 UTC
  TPlovexSettings s_;
  QTemporaryDir dir_;
  std::string path_;
  std::unique_ptr<Font> font_;
  QStringList warnings_;
};

// What the user sees, as the X server shows it: the channels' bars and line,
// the cap's bar, the tables filled; the screenshot is kept for a look.
TEST_F(HistoryWindowTest, ShowsAYearOfTrafficOnTheScreen) {
  Fill(Key());
  Fill({"10.0.0.1", "wan"});
  auto window = Open();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QTest::qWait(200);
  const QImage shot = window->screen()->grabWindow(window->winId()).toImage();
  const QByteArray keep = qgetenv("PLOVEX_SCREENSHOT");
  if (!keep.isEmpty()) shot.save(QString::fromLocal8Bit(keep));

  int in = 0, out = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      const QRgb p = shot.pixel(x, y);
      in += p == qRgb(0, 128, 0);
      out += p == qRgb(0, 0, 255);
    }
  EXPECT_GT(in, 5000) << "channel 1's bars";
  EXPECT_GT(out, 200) << "channel 2's line";

  EXPECT_FALSE(Find<QLabel>(*window, "lblHistoryStatus")->isVisible());
  EXPECT_TRUE(Find<QComboBox>(*window, "cbHistoryKey")->isVisible()) << "two series";
  auto* cap = Find<QProgressBar>(*window, "pbHistoryCap");
  EXPECT_GT(cap->value(), 0);
  EXPECT_TRUE(cap->text().contains(" of 1 TB")) << cap->text().toStdString();
  auto* days = Find<QTableWidget>(*window, "tblHistoryDays");
  ASSERT_EQ(days->rowCount(), 31);
  EXPECT_EQ(days->item(0, 0)->text(), "2026-12-08");
  EXPECT_NE(days->item(1, 3)->text(), "0 B");
  EXPECT_EQ(Find<QTableWidget>(*window, "tblHistoryPeriods")->rowCount(), 12);

  // The year's view draws other buckets than the day's.
  const Surface day = window->Graph();
  Find<QTabBar>(*window, "tabHistoryView")->setCurrentIndex(3);
  EXPECT_EQ(window->View(), UsageView::kYear);
  EXPECT_FALSE(window->Graph() == day);
  if (!keep.isEmpty()) {
    QTest::qWait(200);
    window->screen()->grabWindow(window->winId()).save(QString::fromLocal8Bit(keep) + "-year.png");
  }
}

TEST_F(HistoryWindowTest, SaysWhatIsMissingAndExportsWholeFilesOrNothing) {
  auto empty = Open();
  EXPECT_EQ(Find<QLabel>(*empty, "lblHistoryStatus")->text(), "No history yet");
  EXPECT_FALSE(Find<QPushButton>(*empty, "btnHistoryExport")->isEnabled());

  Fill(Key());
  auto window = Open();
  const QString csv = dir_.filePath("usage.csv");
  ASSERT_TRUE(window->ExportTo(csv));
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.startsWith("host,interface,start,end,in_bytes")) << text.left(80).constData();
  EXPECT_EQ(text.count('\n'), 1 + 288 + 1 + 1 + 31);

  const QString nowhere = dir_.filePath("missing/usage.csv");
  EXPECT_FALSE(window->ExportTo(nowhere));
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(warnings_[0].startsWith("The history cannot be exported to " + nowhere))
      << warnings_[0].toStdString();
  EXPECT_FALSE(QFile::exists(nowhere));

  // Not a database: said in the window, the last figures kept.
  window.reset();
  QFile::remove(QString::fromStdString(path_) + "-wal");
  QFile::remove(QString::fromStdString(path_) + "-shm");
  QFile damaged(QString::fromStdString(path_));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
  damaged.write(QByteArray(4096, 'x'));
  damaged.close();
  auto broken = Open();
  EXPECT_TRUE(Find<QLabel>(*broken, "lblHistoryStatus")
                  ->text()
                  .startsWith("The usage history cannot be read: "));
  EXPECT_EQ(QFile(QString::fromStdString(path_)).size(), 4096) << "a reader never sets it aside";
}

}  // namespace
}  // namespace plovex
