// The memory of the desktop window over a long run: the real TForm1 with its
// tray icon on whatever display Qt is given (the soak script gives it Xvfb
// with a tray host), the poll replaced by moving traffic, "Plovex.gif"
// written on every tick into a temporary working directory. The ticks are
// driven directly, one after another, with the event
// loop run between them long enough for the tray host to take and paint each
// new icon, so months of ticks fit in a minute.
//
//   tray_soak [--ticks N] [--warmup N] [--max-growth-kb K] [--require-tray]
//             [--no-gif]
//
// The GIF coder's dictionary (4 MiB, allocated once) is touched page by page
// as the pictures vary, and settles after a few hundred ticks (the first
// pictures are mostly white); --no-gif leaves it out, so the first minute
// (60 ticks) is warm-up enough for the window and the tray.
//
// Measured in the same run: the resident set and the heap in use after the
// warm-up (the anchor: every cache filled)
// and after N more ticks. Prints both, the growth and the growth per tick;
// exits 1 when the resident set grew by K kB or more, 2 when --require-tray
// was given and no tray host took the icon.
#include <malloc.h>
#include <stdlib.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/traffic_poll.h"
#include "core/gif_picture_writer.h"
#include "core/testing/manual_clock.h"
#include "settings/headless_controls.h"
#include "settings/settings_store.h"
#include "settings/testing/memory_hive.h"
#include "shell/tform1.h"

namespace plovex {
namespace {

class NullWriter : public PictureWriter {
 public:
  Status Save(const Surface&, const std::vector<std::string>&) override { return Status(); }
  std::string PathOf(const std::string& name) const override { return name; }
};

// Works in a temporary directory of its own, so that Plovex.gif lands there.
struct TempDir {
  TempDir() {
    char name[] = "/tmp/plovex_tray_soak_XXXXXX";
    path = mkdtemp(name);
    old = std::filesystem::current_path();
    std::filesystem::current_path(path);
  }
  ~TempDir() {
    std::filesystem::current_path(old);
    std::filesystem::remove_all(path);
  }
  std::filesystem::path path, old;
};

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

long HeapInUseKb() { return static_cast<long>(mallinfo2().uordblks / 1024); }

// Lets the window system and the tray host answer what the tick sent.
void RunEventsFor(int milliseconds) {
  QElapsedTimer t;
  t.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds);
    QThread::usleep(200);
  } while (t.elapsed() < milliseconds);
}

struct Options {
  int ticks = 2000;
  int warmup = 60;
  long max_growth_kb = 100;
  bool require_tray = false;
  bool gif = true;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const auto value = [&] { return i + 1 < argc ? std::atol(argv[++i]) : 0L; };
    if (std::strcmp(argv[i], "--ticks") == 0) o.ticks = static_cast<int>(value());
    if (std::strcmp(argv[i], "--warmup") == 0) o.warmup = static_cast<int>(value());
    if (std::strcmp(argv[i], "--max-growth-kb") == 0) o.max_growth_kb = value();
    if (std::strcmp(argv[i], "--require-tray") == 0) o.require_tray = true;
    if (std::strcmp(argv[i], "--no-gif") == 0) o.gif = false;
  }
  return o;
}

int Soak(const Options& o) {
  // Stored settings pointing at loopback, so nothing could leave the host
  // even if the poll were the real one.
  MemoryHive hive;
  {
    TPlovexSettings s;
    ApplyDefaultSettings(s);
    s.Ip = "127.0.0.1";
    HeadlessControls controls(s);
    SettingsStore(hive, s, controls).SaveSettings();
  }
  TempDir dir;
  TrafficPoll poll;
  const TPlovexSettings into_the_working_directory;
  GifPictureWriter writer(into_the_working_directory, "");
  ManualClock clock;
  clock.SetLocal(10, 0, 30);
  NullWriter nothing;
  TForm1 form(
      TForm1Seams{&hive, &poll, o.gif ? static_cast<PictureWriter*>(&writer) : &nothing, &clock});
  int errors = 0;
  form.Errors().SetPresenter([&errors](const QString&, const QString& text) {
    if (errors++ == 0) std::fprintf(stderr, "tray_soak: %s\n", qPrintable(text));
  });
  form.FormCreate();
  form.ShowAtStart();
  RunEventsFor(500);

  const bool tray = QSystemTrayIcon::isSystemTrayAvailable() && form.TrayIcon()->isVisible();
  std::printf("platform %s, tray host %s\n", qPrintable(QGuiApplication::platformName()),
              tray ? "present" : "absent");
  if (o.require_tray && !tray) return 2;

  const auto tick = [&form, &clock] {
    form.Timer1Timer();
    clock.Advance(std::chrono::seconds(1));
    RunEventsFor(4);
  };
  for (int i = 0; i < o.warmup; ++i) tick();
  const long rss_before = ResidentKb(), heap_before = HeapInUseKb();
  for (int i = 0; i < o.ticks; ++i) tick();
  const long rss_after = ResidentKb(), heap_after = HeapInUseKb();

  const long growth = rss_after - rss_before;
  std::printf("%s\n", o.gif ? "Plovex.gif written every tick" : "no GIF files");
  std::printf("after %d warm-up ticks: resident %ld kB, heap in use %ld kB\n", o.warmup, rss_before,
              heap_before);
  std::printf("after %d more ticks:   resident %ld kB, heap in use %ld kB\n", o.ticks, rss_after,
              heap_after);
  std::printf("growth: resident %+ld kB (%.0f bytes a tick), heap %+ld kB; limit %ld kB\n", growth,
              1024.0 * growth / o.ticks, heap_after - heap_before, o.max_growth_kb);
  if (errors > 0) std::printf("%d ticks failed\n", errors);
  return growth < o.max_growth_kb && errors == 0 ? 0 : 1;
}

}  // namespace
}  // namespace plovex

int main(int argc, char** argv) {
  const plovex::Options options = plovex::Parse(argc, argv);
  QApplication app(argc, argv);
  return plovex::Soak(options);
}
