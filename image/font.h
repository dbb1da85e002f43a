#pragma once
// Font: one scalable typeface (found through fontconfig, loaded with FreeType)
// rendered as monochrome hinted glyphs, so every text pixel is exactly the
// text colour (no anti-aliasing greys in the 216-colour GIF).
//
// Glyphs and size metrics are cached per pixel size and character: a text
// drawn on every tick rasterises each glyph once per process. Not thread-safe
// (the cache fills on use); one Font serves the one picture.
//
// Failure is a value: FromFile's Result says why a file cannot be loaded;
// Find returns null when no font can be found (the picture is then drawn
// without its texts); a character the face lacks draws the face's
// missing-glyph shape.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/status.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace plovex {

// One rasterised glyph: a 1-bit-per-pixel bitmap (most significant bit first,
// rows of `pitch` bytes) placed relative to the pen on the baseline.
struct Glyph {
  int width = 0;
  int rows = 0;
  int pitch = 0;
  int left = 0;     // from the pen position to the bitmap's left column
  int top = 0;      // from the baseline up to the bitmap's top row
  int advance = 0;  // pen movement in whole pixels
  std::vector<std::uint8_t> bits;

  bool Ink(int x, int y) const { return (bits[y * pitch + (x >> 3)] >> (7 - (x & 7))) & 1; }
};

struct FontMetrics {
  int ascent = 0;   // pixels above the baseline
  int descent = 0;  // pixels below it; text height is ascent + descent
};

class Font {
 public:
  // The best match for a family name ("Arial" resolves to Liberation Sans,
  // which has its metrics), or null when fontconfig offers nothing loadable.
  static std::unique_ptr<Font> Find(const std::string& family);
  // A font file; kInvalidArgument naming it when FreeType cannot load it.
  static Result<std::unique_ptr<Font>> FromFile(const std::string& path, int face_index = 0);

  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // The file the face was loaded from.
  const std::string& Path() const { return path_; }

  // pixel_size is the em height in pixels, clamped to 1..kMaxPixelSize.
  const FontMetrics& Metrics(int pixel_size);
  const Glyph& GlyphFor(int pixel_size, char32_t code_point);

  static constexpr int kMaxPixelSize = 512;

 private:
  struct SizeCache;
  Font(FT_LibraryRec_* library, FT_FaceRec_* face, std::string path);
  SizeCache& Size(int pixel_size);

  FT_LibraryRec_* library_;
  FT_FaceRec_* face_;
  int current_size_ = 0;
  std::string path_;
  std::unordered_map<int, std::unique_ptr<SizeCache>> sizes_;
};

}  // namespace plovex
