#include "shell/corner_keeper.h"

#include <gtest/gtest.h>

namespace plovex {
namespace {

// A re-created window: the toolkit knows the margins of the frame the window
// manager drew from the `told_at`th look at the corner on (never when
// negative), and the margins of the window it replaced until then.
struct FakeWindow : CornerKeeper::Window {
  QPoint client, stale, margins;
  int told_at = 0;
  bool movable = true;
  bool manager_puts_it_back = false;
  mutable int looks = 0;

  bool Movable() const override { return movable; }
  QPoint FrameCorner() const override {
    const bool told = told_at >= 0 && looks >= told_at;
    ++looks;
    return client - (told ? margins : stale);
  }
  QPoint ClientCorner() const override { return client; }
  void MoveClient(QPoint to) override {
    if (!manager_puts_it_back) client = to;
  }
};

TEST(CornerKeeper, PutsTheOuterCornerBackAndStops) {
  const QPoint corner(192, 105), frame(1, 24), none(0, 0);
  struct Row {
    const char* name;
    QPoint stale, margins;
    int told_at;
    QPoint placed;  // the client, from the corner, as the toolkit placed it
    bool movable, puts_back;
    int checks;
    QPoint client;  // from the corner, at the end
  };
  const Row rows[] = {
      {"frame on, told at once", frame, frame, 0, frame, true, false, 4, frame},
      {"frame off, told at once", none, none, 0, none, true, false, 4, none},
      {"frame on, told late", none, frame, 2, none, true, false, 4, frame},
      {"frame off, told late", frame, none, 1, frame, true, false, 4, none},
      {"frame on, never told", none, frame, -1, none, true, false, 4, none},
      {"a manager that keeps it elsewhere", none, none, 0, frame, true, true,
       CornerKeeper::kTries + 1, frame},
      {"dragged or closing", none, frame, 0, none, false, false, 1, none},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto owned = std::make_unique<FakeWindow>();
    FakeWindow& window = *owned;
    window.client = corner + row.placed;
    window.stale = row.stale;
    window.margins = row.margins;
    window.told_at = row.told_at;
    window.movable = row.movable;
    window.manager_puts_it_back = row.puts_back;
    CornerKeeper keeper(std::move(owned), nullptr);
    keeper.Keep(corner);
    int checks = 1;
    for (; keeper.Keeping() && checks < 100; ++checks) keeper.Check();
    EXPECT_EQ(checks, row.checks);
    EXPECT_EQ(window.client, corner + row.client);
  }
}

}  // namespace
}  // namespace plovex
