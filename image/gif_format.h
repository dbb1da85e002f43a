#pragma once
// The fixed numbers of the GIF file format (GIF87a/89a) as this program writes
// it, shared by the writer and by the readers in the tests, so that a constant
// can only be wrong in one place.
#include <cstddef>
#include <cstdint>

namespace plovex::gif {

// "GIF" followed by the version. No extension blocks are ever written, so the
// file is always the 87a version.
inline constexpr char kSignature[] = "GIF87a";
inline constexpr std::size_t kSignatureSize = 6;

inline constexpr std::size_t kLogicalScreenDescriptorSize = 7;
inline constexpr std::size_t kImageDescriptorSize = 10;

// Packed byte of the logical screen descriptor.
inline constexpr std::uint8_t kGlobalTableFlag = 0x80;
inline constexpr int kColorResolutionShift = 4;
inline constexpr std::uint8_t kSortFlag = 0x08;
// Colour resolution field: 8 bits per primary colour.
inline constexpr std::uint8_t kColorResolutionField = 7;
// The table size field written when there is no global table.
inline constexpr std::uint8_t kAbsentTableSizeField = 7;

// Image descriptor.
inline constexpr std::uint8_t kImageSeparator = 0x2C;
inline constexpr std::uint8_t kLocalTableFlag = 0x80;
inline constexpr std::uint8_t kInterlaceFlag = 0x40;
inline constexpr std::uint8_t kLocalSortFlag = 0x20;

inline constexpr std::uint8_t kTrailer = 0x3B;

// A colour table holds 2^(size field + 1) entries of red, green, blue.
inline constexpr std::size_t kBytesPerColor = 3;
inline constexpr int kMaxColorTableEntries = 256;

// LZW: codes grow from (minimum code size + 1) to 12 bits; 4095 is never
// assigned, reaching it forces a clear code instead.
inline constexpr int kMinLzwCodeSize = 2;
inline constexpr int kMaxCodeWidth = 12;
inline constexpr std::uint32_t kCodeLimit = 4095;

// Image data travels in sub-blocks of at most 255 bytes, each preceded by its
// length, closed by a zero-length block.
inline constexpr std::size_t kMaxSubBlockSize = 255;
inline constexpr std::uint8_t kBlockTerminator = 0x00;

// The message of an index beyond the frame's colour table.
inline constexpr char kColorNotInColorTable[] = "Color not in color table";

}  // namespace plovex::gif
