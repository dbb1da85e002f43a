// Encoding the 400 x 160 picture to GIF bytes, against giflib's encoder fed
// the same colour indices and table, measured in the same run. Prints each
// time, the ratio giflib / ours and the output sizes at the end.
//
// "ours" is the whole path from surface pixels (colour reduction, LZW,
// sub-blocks, header); "ours, indices" starts from the same ready indices
// that giflib gets.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "image/gif_color_cube.h"
#include "image/gif_image.h"
#include "image/gif_writer.h"
#include "image/surface.h"

namespace plovex {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 160;

// What the graph looks like after a few minutes: white, a silver grid and
// time ticks, green input bars, a blue output line, and rows of black text
// (rate labels at the top, totals and overlays at the bottom).
Surface TrafficPicture() {
  Surface s(kWidth, kHeight, kWhite);
  std::mt19937 rng(42);
  for (int y = 12; y < kHeight; y += 37) {
    for (int x = 0; x < kWidth; x += 2) s.SetPixel(x, y, kSilver);
  }
  for (int x = 25; x < kWidth; x += 60) s.FillRect(x, 0, x + 1, kHeight, kSilver);
  int bar = 40;
  int line = 90;
  for (int x = 0; x < kWidth; ++x) {
    bar = std::clamp(bar + static_cast<int>(rng() % 9) - 4, 0, 120);
    s.FillRect(x, kHeight - bar, x + 1, kHeight, 0x00B000);
    s.SetPixel(x, kHeight - bar, 0x008000);
    line = std::clamp(line + static_cast<int>(rng() % 5) - 2, 20, kHeight - 1);
    s.SetPixel(x, line, 0xFF0000);
  }
  auto text = [&](int left, int top, int chars) {
    for (int c = 0; c < chars; ++c) {
      const std::uint32_t glyph = rng();
      for (int gy = 0; gy < 9; ++gy)
        for (int gx = 0; gx < 5; ++gx)
          if ((glyph >> ((gx * 3 + gy * 5) % 32)) & 1)
            s.SetPixel(left + c * 6 + gx, top + gy, kBlack);
    }
  };
  text(3, 2, 12);
  text(3, 14, 12);
  text(200, 2, 20);
  text(3, 136, 40);
  text(3, 148, 30);
  return s;
}

Surface RandomPicture() {
  Surface s(kWidth, kHeight);
  std::mt19937 rng(7);
  for (int i = 0; i < kWidth * kHeight; ++i) s.Pixels()[i] = rng() & 0xFFFFFF;
  return s;
}

std::vector<std::uint8_t> GiflibEncode(const std::vector<std::uint8_t>& indices) {
  std::vector<std::uint8_t> out;
  out.reserve(indices.size() * 2);
  int error = 0;
  GifFileType* gif = EGifOpen(
      &out,
      [](GifFileType* f, const GifByteType* data, int n) {
        auto* sink = static_cast<std::vector<std::uint8_t>*>(f->UserData);
        sink->insert(sink->end(), data, data + n);
        return n;
      },
      &error);
  GifColorType colors[256] = {};
  const TGIFColorTable cube = CubeColorTable();
  for (int i = 0; i < 256; ++i)
    colors[i] = {cube.entries[i][0], cube.entries[i][1], cube.entries[i][2]};
  ColorMapObject* map = GifMakeMapObject(256, colors);
  EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, nullptr);
  EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, map);
  std::vector<GifPixelType> row(kWidth);
  for (int y = 0; y < kHeight; ++y) {
    std::copy_n(indices.begin() + y * kWidth, kWidth, row.begin());
    EGifPutLine(gif, row.data(), kWidth);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

std::map<std::string, std::size_t>& Sizes() {
  static std::map<std::string, std::size_t> sizes;
  return sizes;
}

void Ours(benchmark::State& state, Surface (*make)(), const char* name) {
  const Surface picture = make();
  std::size_t size = 0;
  for (auto _ : state) {
    GifBytes bytes = EncodePictureGif(picture);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  Sizes()[std::string("ours ") + name] = size;
}

// As the program encodes: once a second, after everything else the machine
// ran has pushed the coder's tables and code out of the caches.
void OursCold(benchmark::State& state, Surface (*make)(), const char*) {
  const Surface picture = make();
  std::vector<std::uint8_t> other(64u << 20);
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < other.size(); i += 64) other[i] += 1;
    benchmark::ClobberMemory();
    state.ResumeTiming();
    GifBytes bytes = EncodePictureGif(picture);
    benchmark::DoNotOptimize(bytes.data());
  }
}

void OursFromIndices(benchmark::State& state, Surface (*make)(), const char*) {
  const TGIFImage image = TGIFImage::FromPicture(make());
  for (auto _ : state) {
    Result<GifBytes> bytes = EncodeGif(image);
    benchmark::DoNotOptimize(bytes->data());
  }
}

void Giflib(benchmark::State& state, Surface (*make)(), const char* name) {
  const std::vector<std::uint8_t> indices = TGIFImage::FromPicture(make()).Frames()[0].indices;
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = GiflibEncode(indices);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  Sizes()[std::string("giflib ") + name] = size;
}

// Several repetitions each; the ratios use the medians, which whatever else
// the machine runs disturbs least.
#define GIF_BENCH(function, picture)                               \
  BENCHMARK_CAPTURE(function, picture, picture##Picture, #picture) \
      ->Unit(benchmark::kMicrosecond)                              \
      ->Repetitions(7)                                             \
      ->DisplayAggregatesOnly(true)

GIF_BENCH(Ours, Traffic);
GIF_BENCH(OursCold, Traffic);
GIF_BENCH(OursFromIndices, Traffic);
GIF_BENCH(Giflib, Traffic);
GIF_BENCH(Ours, Random);
GIF_BENCH(OursFromIndices, Random);
GIF_BENCH(Giflib, Random);

// Keeps each benchmark's median processor time per iteration so main can
// print the ratios (wall time would charge other processes' load to
// whichever ran).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Time(const std::string& name) const {
    auto it = times_.find(name);
    return it == times_.end() ? 0 : it->second;
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace plovex

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  plovex::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* picture : {"Traffic", "Random"}) {
    const std::string p = picture;
    const double ours = reporter.Time("Ours/" + p);
    const double indices = reporter.Time("OursFromIndices/" + p);
    const double giflib = reporter.Time("Giflib/" + p);
    if (ours <= 0 || giflib <= 0) continue;
    std::printf(
        "%-8s giflib %7.1f us | ours %7.1f us (%.2fx faster) | ours from indices %7.1f us "
        "(%.2fx) | sizes ours %zu, giflib %zu bytes\n",
        picture, giflib, ours, giflib / ours, indices, indices > 0 ? giflib / indices : 0.0,
        plovex::Sizes()["ours " + p], plovex::Sizes()["giflib " + p]);
    if (const double cold = reporter.Time("OursCold/" + p); cold > 0)
      std::printf("%-8s ours with cold caches %7.1f us (%.2fx ours warm)\n", picture, cold,
                  cold / ours);
  }
  benchmark::Shutdown();
  return 0;
}
