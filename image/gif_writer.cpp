#include "image/gif_writer.h"

#include <algorithm>
#include <string>

#include "base/little_endian.h"
#include "image/gif_format.h"
#include "image/gif_lzw_encoder.h"

namespace plovex {
namespace {

void PutWord(GifBytes& out, std::uint16_t value) { AppendLittleEndian(out, value, 2); }

// The LZW minimum code size for a table: its bits per pixel, at least 2.
int MinCodeSize(const TGIFColorTable* table) {
  const int bits = table != nullptr ? table->BitsPerPixel() : 8;
  return std::max(bits, gif::kMinLzwCodeSize);
}

}  // namespace

void WriteSignature(GifBytes& out) {
  out.insert(out.end(), gif::kSignature, gif::kSignature + gif::kSignatureSize);
}

void WriteLogicalScreenDescriptor(GifBytes& out, const TGIFHeader& header) {
  PutWord(out, header.width);
  PutWord(out, header.height);
  std::uint8_t packed =
      static_cast<std::uint8_t>((header.color_resolution & 7) << gif::kColorResolutionShift);
  if (header.global_color_table) {
    packed |= gif::kGlobalTableFlag | header.global_color_table->SizeField();
  } else {
    packed |= gif::kAbsentTableSizeField;
  }
  out.push_back(packed);
  out.push_back(header.background_index);
  out.push_back(header.aspect_ratio);
}

void WriteColorTable(GifBytes& out, const TGIFColorTable& table) {
  const std::size_t entries = std::size_t{2} << table.SizeField();
  for (const TGIFColorTable::Rgb& rgb : table.entries)
    out.insert(out.end(), rgb.begin(), rgb.end());
  out.resize(out.size() + (entries - table.entries.size()) * gif::kBytesPerColor, 0);
}

void WriteImageDescriptor(GifBytes& out, const TGIFFrame& frame) {
  out.push_back(gif::kImageSeparator);
  PutWord(out, frame.left);
  PutWord(out, frame.top);
  PutWord(out, frame.width);
  PutWord(out, frame.height);
  std::uint8_t packed = 0;
  if (frame.local_color_table) {
    packed |= gif::kLocalTableFlag | frame.local_color_table->SizeField();
  }
  if (frame.interlaced) packed |= gif::kInterlaceFlag;
  out.push_back(packed);
}

Status WriteImageData(GifBytes& out, const TGIFFrame& frame, const TGIFColorTable* table) {
  const int min_code_size = MinCodeSize(table);
  const int colors = table != nullptr ? table->Count() : gif::kMaxColorTableEntries;
  const Result<std::vector<std::uint8_t>> codes =
      LzwEncode(frame.indices.data(), frame.indices.size(), min_code_size, colors);
  if (!codes) return codes.status();
  WriteSubBlocks(out, min_code_size, *codes);
  return Status::Ok();
}

void WriteSubBlocks(GifBytes& out, int min_code_size, const std::vector<std::uint8_t>& codes) {
  const std::size_t full = codes.size() / gif::kMaxSubBlockSize;
  const std::size_t rest = codes.size() % gif::kMaxSubBlockSize;
  std::size_t at = out.size();
  out.resize(at + 1 + codes.size() + full + (rest > 0 ? 1 : 0) + 1);
  std::uint8_t* p = out.data() + at;
  *p++ = static_cast<std::uint8_t>(min_code_size);
  const std::uint8_t* from = codes.data();
  for (std::size_t b = 0; b < full; ++b) {
    *p++ = static_cast<std::uint8_t>(gif::kMaxSubBlockSize);
    p = std::copy_n(from, gif::kMaxSubBlockSize, p);
    from += gif::kMaxSubBlockSize;
  }
  if (rest > 0) {
    *p++ = static_cast<std::uint8_t>(rest);
    p = std::copy_n(from, rest, p);
  }
  *p = gif::kBlockTerminator;
}

void WriteTrailer(GifBytes& out) { out.push_back(gif::kTrailer); }

Result<GifBytes> EncodeGif(const TGIFImage& image) {
  GifBytes out;
  WriteSignature(out);
  const TGIFHeader& header = image.Header();
  WriteLogicalScreenDescriptor(out, header);
  if (header.global_color_table) WriteColorTable(out, *header.global_color_table);
  for (std::size_t i = 0; i < image.Frames().size(); ++i) {
    const TGIFFrame& frame = image.Frames()[i];
    WriteImageDescriptor(out, frame);
    const TGIFColorTable* table = nullptr;
    if (frame.local_color_table) {
      WriteColorTable(out, *frame.local_color_table);
      table = &*frame.local_color_table;
    } else if (header.global_color_table) {
      table = &*header.global_color_table;
    }
    const Status written = WriteImageData(out, frame, table);
    if (!written.ok()) return written.WithContext("frame " + std::to_string(i));
  }
  WriteTrailer(out);
  return out;
}

GifBytes EncodePictureGif(const Surface& picture) {
  return *EncodeGif(TGIFImage::FromPicture(picture));
}

}  // namespace plovex
