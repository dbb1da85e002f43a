// One complete tick without the network: the poll replaced by readings that
// move like real traffic, everything else real (scroll, ticks, bars, rate
// labels, totals, five overlays with the real font, tray, hint, and
// "Plovex.gif" written through SavePicture into a temporary directory).
//
// Measured in the same run:
//   anchor        copying the 400 x 160 picture's pixels once (a memory-bound yardstick)
//   tick_draw     a tick whose pictures go nowhere (drawing only)
//   tick_full     a tick that writes Plovex.gif
//   save_picture  SavePicture of a drawn picture alone (encode + file)
//   encode_only   the GIF bytes of the same picture, without the file
// and printed at the end as ratios: each against the anchor, and the share of
// drawing and GIF writing in a full tick.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "bench/traffic_poll.h"
#include "core/gif_picture_writer.h"
#include "core/save_picture.h"
#include "core/testing/manual_clock.h"
#include "core/tick_cycle.h"
#include "image/gif_writer.h"

namespace plovex {
namespace {

class NullHost : public TickHost {
 public:
  bool save_gif = true;
  bool SaveGifChecked() const override { return save_gif; }
  void SetResetCaptions(const std::string& a, const std::string& b) override {
    benchmark::DoNotOptimize(a.size() + b.size());
  }
  void SetTrayHint(const std::string& h) override { benchmark::DoNotOptimize(h.size()); }
  void SetTrayIcon(const Surface& t) override { benchmark::DoNotOptimize(t.Pixels()); }
  void SaveTotals() override {}
  void ReportFault(TickFault, const Status&) override {}
  void ClearFault(TickFault) override {}
  void SnapshotWritten(const std::string&) override {}
};

class NullWriter : public PictureWriter {
 public:
  Status Save(const Surface& p, const std::vector<std::string>&) override {
    benchmark::DoNotOptimize(p.Pixels());
    return Status();
  }
  std::string PathOf(const std::string& name) const override { return name; }
};

// Works in a temporary directory of its own, so that Plovex.gif lands there.
struct TempDir {
  TempDir() {
    char name[] = "/tmp/plovex_tick_bench_XXXXXX";
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

Font* Arial() {
  static std::unique_ptr<Font> font = Font::Find("Arial");
  return font.get();
}

template <bool kWriteGif>
void TickBench(benchmark::State& state) {
  TempDir dir;
  TPlovexSettings s;
  ApplyDefaultSettings(s);
  Surface picture(kPictureWidth, kPictureHeight);
  NullHost host;
  ManualClock clock;
  clock.SetLocal(10, 0, 30);
  TrafficPoll poll;
  GifPictureWriter gif(s, "");
  NullWriter none;
  PictureWriter& writer = kWriteGif ? static_cast<PictureWriter&>(gif) : none;
  TickCycle cycle(s, picture, host, clock, poll, writer, Arial());
  cycle.Start();
  for (int i = 0; i < 400; ++i) cycle.Tick();  // a full picture, every glyph cached
  for (auto _ : state) cycle.Tick();
}

void BM_Anchor_CopyPicture(benchmark::State& state) {
  Surface a(kPictureWidth, kPictureHeight, kSilver), b(kPictureWidth, kPictureHeight);
  for (auto _ : state) {
    std::copy_n(a.Pixels(), kPictureWidth * kPictureHeight, b.Pixels());
    benchmark::DoNotOptimize(b.Pixels());
    benchmark::ClobberMemory();
  }
}

void BM_TickDrawOnly(benchmark::State& state) { TickBench<false>(state); }
void BM_TickFull(benchmark::State& state) { TickBench<true>(state); }

void BM_SavePictureOnly(benchmark::State& state) {
  TempDir dir;
  TPlovexSettings s;
  ApplyDefaultSettings(s);
  Surface picture(kPictureWidth, kPictureHeight);
  NullHost host;
  ManualClock clock;
  TrafficPoll poll;
  NullWriter none;
  TickCycle cycle(s, picture, host, clock, poll, none, Arial());
  cycle.Start();
  for (int i = 0; i < 400; ++i) cycle.Tick();
  const std::vector<std::string> names{"Plovex.gif"};
  if (state.range(0) == 0) {
    for (auto _ : state) SavePicture(picture, names);
  } else {
    for (auto _ : state) benchmark::DoNotOptimize(EncodePictureGif(picture).size());
  }
}

BENCHMARK(BM_Anchor_CopyPicture);
BENCHMARK(BM_TickDrawOnly);
BENCHMARK(BM_TickFull);
BENCHMARK(BM_SavePictureOnly)->Arg(0)->Arg(1);

// Collects each benchmark's CPU time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // CPU time: on a shared machine the wall clock also counts other
    // processes' turns. With repetitions the median stands for the benchmark.
    for (const Run& r : runs) {
      if (r.iterations <= 0) continue;
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
      const double unit = r.time_unit == benchmark::kMicrosecond   ? 1e3
                          : r.time_unit == benchmark::kMillisecond ? 1e6
                                                                   : 1.0;
      ns_[r.run_name.str()] = r.GetAdjustedCPUTime() * unit;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Summary() const {
    const auto get = [&](const char* n) {
      auto it = ns_.find(n);
      return it == ns_.end() ? 0.0 : it->second;
    };
    const double anchor = get("BM_Anchor_CopyPicture"), draw = get("BM_TickDrawOnly"),
                 full = get("BM_TickFull"), save = get("BM_SavePictureOnly/0"),
                 encode = get("BM_SavePictureOnly/1");
    if (anchor <= 0 || full <= 0) return;
    std::printf(
        "\nratios (same run): tick_full/anchor %.1f, tick_draw/anchor %.1f, "
        "save_picture/anchor %.1f\n",
        full / anchor, draw / anchor, save / anchor);
    std::printf("share of a full tick: drawing %.0f%%, GIF written %.0f%% (gif/draw %.1f)\n",
                100 * draw / full, 100 * (full - draw) / full, (full - draw) / draw);
    if (encode > 0)
      std::printf("GIF written: encoding %.0f%%, file %.0f%%\n", 100 * encode / save,
                  100 * (save - encode) / save);
    std::printf("full tick: %.1f us (goal: under 300 us)\n", full / 1e3);
  }

 private:
  std::map<std::string, double> ns_;
};

}  // namespace
}  // namespace plovex

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  plovex::SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.Summary();
  benchmark::Shutdown();
  return 0;
}
