#include "image/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>

namespace plovex {

struct Font::SizeCache {
  FontMetrics metrics;
  // Latin-1 is nearly every text the picture shows: a direct table for it,
  // a map for the rest.
  std::array<std::unique_ptr<Glyph>, 256> low;
  std::unordered_map<char32_t, std::unique_ptr<Glyph>> high;
};

Result<std::unique_ptr<Font>> Font::FromFile(const std::string& path, int face_index) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return Status::IoError("FreeType cannot start");
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), face_index, &face) != 0 || !FT_IS_SCALABLE(face)) {
    if (face != nullptr) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return Status::InvalidArgument(path + ": not a scalable font FreeType can load");
  }
  return std::unique_ptr<Font>(new Font(library, face, path));
}

std::unique_ptr<Font> Font::Find(const std::string& family) {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return nullptr;
  std::unique_ptr<Font> font;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
  if (pattern != nullptr) {
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (match != nullptr) {
      FcChar8* file = nullptr;
      int index = 0;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        Result<std::unique_ptr<Font>> loaded = FromFile(reinterpret_cast<const char*>(file), index);
        if (loaded.ok()) font = std::move(loaded).value();
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  FcConfigDestroy(config);
  return font;
}

Font::Font(FT_LibraryRec_* library, FT_FaceRec_* face, std::string path)
    : library_(library), face_(face), path_(std::move(path)) {}

Font::~Font() {
  FT_Done_Face(face_);
  FT_Done_FreeType(library_);
}

Font::SizeCache& Font::Size(int pixel_size) {
  pixel_size = std::clamp(pixel_size, 1, kMaxPixelSize);
  auto it = sizes_.find(pixel_size);
  if (it != sizes_.end()) return *it->second;
  auto cache = std::make_unique<SizeCache>();
  if (FT_Set_Pixel_Sizes(face_, 0, pixel_size) == 0) {
    current_size_ = pixel_size;
    // Hinted metrics are already whole pixels (26.6 with zero fraction).
    const FT_Size_Metrics& m = face_->size->metrics;
    cache->metrics.ascent = static_cast<int>((m.ascender + 63) >> 6);
    cache->metrics.descent = static_cast<int>((-m.descender + 63) >> 6);
  }
  return *sizes_.emplace(pixel_size, std::move(cache)).first->second;
}

const FontMetrics& Font::Metrics(int pixel_size) { return Size(pixel_size).metrics; }

const Glyph& Font::GlyphFor(int pixel_size, char32_t code_point) {
  pixel_size = std::clamp(pixel_size, 1, kMaxPixelSize);
  SizeCache& cache = Size(pixel_size);
  std::unique_ptr<Glyph>& slot = code_point < 256 ? cache.low[code_point] : cache.high[code_point];
  if (slot) return *slot;
  slot = std::make_unique<Glyph>();
  Glyph& g = *slot;
  if (current_size_ != pixel_size) {
    if (FT_Set_Pixel_Sizes(face_, 0, pixel_size) != 0) return g;
    current_size_ = pixel_size;
  }
  const FT_UInt index = FT_Get_Char_Index(face_, code_point);
  if (FT_Load_Glyph(face_, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return g;
  const FT_GlyphSlot slot_rec = face_->glyph;
  if (slot_rec->format != FT_GLYPH_FORMAT_BITMAP &&
      FT_Render_Glyph(slot_rec, FT_RENDER_MODE_MONO) != 0)
    return g;
  g.advance = static_cast<int>((slot_rec->advance.x + 32) >> 6);
  const FT_Bitmap& bm = slot_rec->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_MONO) return g;  // never for a mono render
  g.width = static_cast<int>(bm.width);
  g.rows = static_cast<int>(bm.rows);
  g.pitch = (g.width + 7) / 8;
  g.left = slot_rec->bitmap_left;
  g.top = slot_rec->bitmap_top;
  g.bits.resize(static_cast<std::size_t>(g.pitch) * g.rows);
  for (int y = 0; y < g.rows; ++y) {
    // FreeType's pitch may be negative (bottom-up) or padded; copy row by row.
    const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
    if (bm.pitch < 0) src = bm.buffer + static_cast<std::ptrdiff_t>(g.rows - 1 - y) * -bm.pitch;
    std::copy_n(src, g.pitch, g.bits.begin() + static_cast<std::ptrdiff_t>(y) * g.pitch);
  }
  return g;
}

}  // namespace plovex
