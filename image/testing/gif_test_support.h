#pragma once
// Test-only helpers for the GIF writer: straightforward reference versions of
// the colour reduction and the LZW coder (written from the rules, favouring
// obviousness over speed), a bounds-checked reader of the file's block
// layout, and three independent decoders (giflib in process, ImageMagick and
// Python's PIL as child processes). Missing decoders make the tests fail,
// never skip.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "image/gif_format.h"
#include "image/surface.h"

namespace plovex::giftest {

using Bytes = std::vector<std::uint8_t>;

// ---- references -----------------------------------------------------------

inline int ReferenceLevel(int v) { return (v + 3) / 51; }

inline std::uint8_t ReferenceIndex(std::uint32_t c) {
  return static_cast<std::uint8_t>(36 * ReferenceLevel(c & 0xFF) +
                                   6 * ReferenceLevel((c >> 8) & 0xFF) +
                                   ReferenceLevel((c >> 16) & 0xFF));
}

inline Bytes ReferenceIndices(const Surface& s) {
  Bytes out;
  for (int i = 0; i < s.Width() * s.Height(); ++i) out.push_back(ReferenceIndex(s.Pixels()[i]));
  return out;
}

// Red, green, blue per pixel as a decoder should return the written file.
inline Bytes ReferenceRgb(const Surface& s) {
  Bytes out;
  for (int i = 0; i < s.Width() * s.Height(); ++i) {
    const std::uint32_t c = s.Pixels()[i];
    out.push_back(static_cast<std::uint8_t>(51 * ReferenceLevel(c & 0xFF)));
    out.push_back(static_cast<std::uint8_t>(51 * ReferenceLevel((c >> 8) & 0xFF)));
    out.push_back(static_cast<std::uint8_t>(51 * ReferenceLevel((c >> 16) & 0xFF)));
  }
  return out;
}

struct ReferenceLzwResult {
  Bytes bytes;
  int clears_after_first = 0;
  // The width grew right after the last prefix, so the end code is the
  // first code of the new width.
  bool ends_on_width_change = false;
  int final_width = 0;
};

// LZW as the rules state it, one bit at a time, with a std::map dictionary.
inline ReferenceLzwResult ReferenceLzw(const Bytes& pixels, int b) {
  ReferenceLzwResult r;
  const int clear = 1 << b, end = clear + 1;
  int next = clear + 2, width = b + 1, bit = 0;
  std::map<std::pair<int, int>, int> dict;
  bool grew = false;
  auto write = [&](int code) {
    for (int k = 0; k < width; ++k, ++bit) {
      if (bit % 8 == 0) r.bytes.push_back(0);
      if ((code >> k) & 1) r.bytes.back() |= static_cast<std::uint8_t>(1 << (bit % 8));
    }
    grew = false;
    if (code == clear) {
      width = b + 1;
    } else if (next > (1 << width) - 1 && width < 12) {
      ++width;
      grew = true;
    }
  };
  write(clear);
  if (!pixels.empty()) {
    int prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
      const int p = pixels[i];
      auto it = dict.find({prefix, p});
      if (it != dict.end()) {
        prefix = it->second;
        continue;
      }
      write(prefix);
      const int old = prefix;
      prefix = p;
      if (next < 4095) {
        dict[{old, p}] = next++;
      } else {
        write(clear);
        ++r.clears_after_first;
        dict.clear();
        next = clear + 2;
      }
    }
    write(prefix);
    r.ends_on_width_change = grew;
  }
  r.final_width = width;
  write(end);
  return r;
}

// ---- the file's layout ----------------------------------------------------

struct ParsedGif {
  std::string signature;
  std::uint16_t screen_width = 0, screen_height = 0;
  std::uint8_t screen_packed = 0, background = 0, aspect = 0;
  std::uint8_t separator = 0;
  std::uint16_t left = 0, top = 0, width = 0, height = 0;
  std::uint8_t image_packed = 0;
  Bytes local_table;
  std::uint8_t min_code_size = 0;
  std::vector<std::size_t> block_sizes;  // the data sub-blocks, terminator excluded
  Bytes codes;                           // their bytes joined
  std::uint8_t trailer = 0;
};

// Reads a single-frame file without global table, never beyond its end.
// Nothing when it is cut short or has bytes after the trailer.
inline std::optional<ParsedGif> ParseGif(const Bytes& f) {
  ParsedGif g;
  std::size_t at = 0;
  auto has = [&](std::size_t n) { return f.size() - at >= n; };
  auto byte = [&] { return f[at++]; };
  auto word = [&] {
    std::uint16_t v = static_cast<std::uint16_t>(f[at] | f[at + 1] << 8);
    at += 2;
    return v;
  };
  if (!has(6 + 7 + 10)) return std::nullopt;
  g.signature.assign(f.begin(), f.begin() + 6);
  at = 6;
  g.screen_width = word();
  g.screen_height = word();
  g.screen_packed = byte();
  g.background = byte();
  g.aspect = byte();
  g.separator = byte();
  g.left = word();
  g.top = word();
  g.width = word();
  g.height = word();
  g.image_packed = byte();
  if (g.image_packed & 0x80) {
    const std::size_t n = 3u << ((g.image_packed & 7) + 1);
    if (!has(n)) return std::nullopt;
    g.local_table.assign(f.begin() + at, f.begin() + at + n);
    at += n;
  }
  if (!has(1)) return std::nullopt;
  g.min_code_size = byte();
  for (;;) {
    if (!has(1)) return std::nullopt;
    const std::size_t n = byte();
    if (n == 0) break;
    if (!has(n)) return std::nullopt;
    g.block_sizes.push_back(n);
    g.codes.insert(g.codes.end(), f.begin() + at, f.begin() + at + n);
    at += n;
  }
  if (!has(1)) return std::nullopt;
  g.trailer = byte();
  if (at != f.size()) return std::nullopt;
  return g;
}

// ---- files and decoders ---------------------------------------------------

inline Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A fresh directory under the temporary directory, removed with its content.
class ScratchDir {
 public:
  ScratchDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "plovex-gif-XXXXXX").string();
    path_ = mkdtemp(templ.data());
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Runs a shell command and returns its standard output; fails the test when
// the command does not exit with 0 (a missing decoder among them).
inline Bytes CommandOutput(const std::string& command) {
  Bytes out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return out;
  }
  std::uint8_t buffer[65536];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " failed: " << status;
  return out;
}

inline std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// giflib: the frame's indices and the frame as red, green, blue.
inline std::pair<Bytes, Bytes> GiflibDecode(const std::filesystem::path& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) {
    ADD_FAILURE() << "giflib cannot open " << path << ": " << GifErrorString(error);
    return {};
  }
  std::pair<Bytes, Bytes> result;
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1) {
    ADD_FAILURE() << "giflib cannot decode " << path << ": " << GifErrorString(gif->Error);
  } else {
    const SavedImage& image = gif->SavedImages[0];
    const std::size_t n = std::size_t(image.ImageDesc.Width) * image.ImageDesc.Height;
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    for (std::size_t i = 0; i < n; ++i) {
      const int index = image.RasterBits[i];
      result.first.push_back(static_cast<std::uint8_t>(index));
      if (map == nullptr || index >= map->ColorCount) continue;
      result.second.push_back(map->Colors[index].Red);
      result.second.push_back(map->Colors[index].Green);
      result.second.push_back(map->Colors[index].Blue);
    }
  }
  DGifCloseFile(gif, &error);
  return result;
}

inline Bytes MagickRgb(const std::filesystem::path& path) {
  return CommandOutput("/usr/bin/convert " + Quoted(path) + " -depth 8 rgb:- 2>/dev/null");
}

inline Bytes PilRgb(const std::filesystem::path& path) {
  return CommandOutput(
      "/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
      "sys.stdout.buffer.write(im.convert('RGB').tobytes())\" " +
      Quoted(path));
}

inline Bytes PilIndices(const std::filesystem::path& path) {
  return CommandOutput(
      "/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
      "assert im.mode == 'P', im.mode; sys.stdout.buffer.write(im.tobytes())\" " +
      Quoted(path));
}

// Compares pixel by pixel and reports the first difference only.
inline ::testing::AssertionResult SameRaster(const char* decoder, const Bytes& got,
                                             const Bytes& want, int channels) {
  if (got.size() != want.size()) {
    return ::testing::AssertionFailure()
           << decoder << ": " << got.size() << " bytes, expected " << want.size();
  }
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got[i] != want[i]) {
      return ::testing::AssertionFailure()
             << decoder << ": pixel " << i / channels << " channel " << i % channels << " is "
             << int(got[i]) << ", expected " << int(want[i]);
    }
  }
  return ::testing::AssertionSuccess();
}

// Every decoder must return exactly the raster the picture reduces to.
inline void ExpectDecodesTo(const std::filesystem::path& path, const Surface& picture) {
  const Bytes indices = ReferenceIndices(picture);
  const Bytes rgb = ReferenceRgb(picture);
  const auto [gif_indices, gif_rgb] = GiflibDecode(path);
  EXPECT_TRUE(SameRaster("giflib indices", gif_indices, indices, 1));
  EXPECT_TRUE(SameRaster("giflib colours", gif_rgb, rgb, 3));
  EXPECT_TRUE(SameRaster("ImageMagick", MagickRgb(path), rgb, 3));
  EXPECT_TRUE(SameRaster("PIL indices", PilIndices(path), indices, 1));
  EXPECT_TRUE(SameRaster("PIL colours", PilRgb(path), rgb, 3));
}

// ---- pictures -------------------------------------------------------------

inline Surface RandomPicture(int width, int height, std::uint32_t seed) {
  Surface s(width, height);
  std::mt19937 rng(seed);
  for (int i = 0; i < width * height; ++i) s.Pixels()[i] = rng() & 0xFFFFFF;
  return s;
}

// Something like the program's graph: white, a silver grid, green bars, a
// blue line, rows of black "text".
inline Surface TrafficPicture(int width = 400, int height = 160, std::uint32_t seed = 7) {
  Surface s(width, height, 0xFFFFFF);
  std::mt19937 rng(seed);
  for (int y = 20; y < height; y += 34) s.FillRect(0, y, width, y + 1, 0xC0C0C0);
  for (int x = 30; x < width; x += 60) s.FillRect(x, 0, x + 1, height, 0xC0C0C0);
  int level = height / 2;
  for (int x = 0; x < width; ++x) {
    const int bar = static_cast<int>(rng() % (height / 2));
    s.FillRect(x, height - bar, x + 1, height, 0x00C000);
    level = std::clamp(level + static_cast<int>(rng() % 7) - 3, 10, height - 1);
    s.SetPixel(x, level, 0xFF0000);
  }
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 120; ++x)
      if ((x * 7 + y * 13) % 5 < 2) s.SetPixel(x, y, 0x000000);
  return s;
}

}  // namespace plovex::giftest

namespace plovex::giftest {

// giflib's encoder for the same indices and the cube table, to memory.
inline Bytes GiflibEncode(const Bytes& indices, int width, int height) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(
      &out,
      [](GifFileType* f, const GifByteType* data, int n) {
        auto* sink = static_cast<Bytes*>(f->UserData);
        sink->insert(sink->end(), data, data + n);
        return n;
      },
      &error);
  if (gif == nullptr) {
    ADD_FAILURE() << "EGifOpen: " << GifErrorString(error);
    return out;
  }
  GifColorType colors[256] = {};
  for (int i = 0; i < 216; ++i) {
    colors[i] = {static_cast<GifByteType>(51 * (i / 36)),
                 static_cast<GifByteType>(51 * (i / 6 % 6)),
                 static_cast<GifByteType>(51 * (i % 6))};
  }
  ColorMapObject* map = GifMakeMapObject(256, colors);
  Bytes row(static_cast<std::size_t>(width));
  bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, nullptr) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, width, height, false, map) == GIF_OK;
  for (int y = 0; ok && y < height; ++y) {
    std::copy_n(indices.begin() + std::ptrdiff_t{y} * width, width, row.begin());
    ok = EGifPutLine(gif, row.data(), width) == GIF_OK;
  }
  EXPECT_TRUE(ok) << "giflib encoder: " << GifErrorString(gif->Error);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

}  // namespace plovex::giftest
