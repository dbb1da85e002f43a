#pragma once
// Writing a TGIFImage as a GIF file's bytes. One function per block of the
// format, in the order the blocks appear in the file, each appending to a
// byte buffer; EncodeGif strings them together. All 16-bit numbers are
// little-endian.
//
// The only failure is a pixel index at or above its frame's colour table
// size: kInvalidArgument, "frame N: Color not in color table"; it is a value
// here, never an exception.
#include <cstdint>
#include <vector>

#include "base/status.h"

#include "image/gif_image.h"
#include "image/surface.h"

namespace plovex {

using GifBytes = std::vector<std::uint8_t>;

// "GIF87a".
void WriteSignature(GifBytes& out);
// Screen width and height, packed byte, background index, aspect ratio.
void WriteLogicalScreenDescriptor(GifBytes& out, const TGIFHeader& header);
// 2^(SizeField() + 1) entries of red, green, blue; missing entries black.
void WriteColorTable(GifBytes& out, const TGIFColorTable& table);
// Separator, position, size and packed byte of one frame.
void WriteImageDescriptor(GifBytes& out, const TGIFFrame& frame);
// Minimum code size, the LZW codes in sub-blocks of up to 255 bytes, the
// zero-length terminator. `table` is the colour table the frame's indices
// refer to (its local one, else the global one; nullptr for none).
// Fails ("Color not in color table"), leaving out unchanged, when an index
// is beyond that table.
Status WriteImageData(GifBytes& out, const TGIFFrame& frame, const TGIFColorTable* table);
// The minimum code size byte, `codes` cut into sub-blocks, the terminator.
void WriteSubBlocks(GifBytes& out, int min_code_size, const std::vector<std::uint8_t>& codes);
// 0x3B.
void WriteTrailer(GifBytes& out);

// The whole file, or the failure of the first frame that refers to a
// colour it lacks.
Result<GifBytes> EncodeGif(const TGIFImage& image);

// The program's picture as a GIF file (TGIFImage::FromPicture, then
// EncodeGif); the cube mapping cannot fail.
GifBytes EncodePictureGif(const Surface& picture);

}  // namespace plovex
