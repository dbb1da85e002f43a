#include "image/gif_color_cube.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define PLOVEX_CUBE_AVX2 1
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plovex {
namespace {

// (v + 3) div 51 for v in 0..255 as a multiply keeping the high 16 bits,
// one instruction on vector units: 1286 / 2^16 exceeds 1 / 51 by less than
// 1 / (51 * 258), which never carries a quotient of 3..258 over the next
// integer.
constexpr std::uint32_t Level(std::uint32_t v) { return ((v + 3) * 1286) >> 16; }

// Vectors work on each pixel's 32 bits as two 16-bit halves: masking with
// 0x00FF00FF leaves red in the low and blue in the high half, so one
// multiply gives both levels, and one multiply-add (36, 1) sums them into
// the 32-bit lane; green, shifted down alone, adds 6 times its level. The
// green lane's high half is 0, whose "level" (0 + 3) * 1286 >> 16 is 0.
constexpr std::uint32_t kRedBlueMask = 0x00FF00FF;
constexpr std::uint32_t kRedBlueWeights = 36 | 1u << 16;
constexpr std::uint32_t kGreenWeight = 6;

#if defined(__SSE2__)
// The cube indices of four pixels as 32-bit lanes.
__m128i CubeIndices4(const std::uint32_t* pixels) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
  auto levels = [](__m128i channels) {
    return _mm_mulhi_epu16(_mm_add_epi16(channels, _mm_set1_epi16(3)), _mm_set1_epi16(1286));
  };
  const __m128i red_blue = levels(_mm_and_si128(v, _mm_set1_epi32(kRedBlueMask)));
  const __m128i green = levels(_mm_and_si128(_mm_srli_epi32(v, 8), _mm_set1_epi32(0xFF)));
  return _mm_add_epi32(_mm_madd_epi16(red_blue, _mm_set1_epi32(kRedBlueWeights)),
                       _mm_madd_epi16(green, _mm_set1_epi32(kGreenWeight)));
}

// Sixteen pixels' indices as bytes in order (every index fits a signed
// 16-bit lane, so the signed pack loses nothing).
__m128i CubeIndices16(const std::uint32_t* p) {
  return _mm_packus_epi16(_mm_packs_epi32(CubeIndices4(p), CubeIndices4(p + 4)),
                          _mm_packs_epi32(CubeIndices4(p + 8), CubeIndices4(p + 12)));
}
#endif

#if defined(PLOVEX_CUBE_AVX2)
// The same with 256-bit registers, for processors that have them.
[[gnu::target("avx2")]] __m256i LevelsAvx2(__m256i channels) {
  return _mm256_mulhi_epu16(_mm256_add_epi16(channels, _mm256_set1_epi16(3)),
                            _mm256_set1_epi16(1286));
}

[[gnu::target("avx2")]] __m256i CubeIndices8(const std::uint32_t* pixels) {
  const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
  const __m256i red_blue = LevelsAvx2(_mm256_and_si256(v, _mm256_set1_epi32(kRedBlueMask)));
  const __m256i green =
      LevelsAvx2(_mm256_and_si256(_mm256_srli_epi32(v, 8), _mm256_set1_epi32(0xFF)));
  return _mm256_add_epi32(_mm256_madd_epi16(red_blue, _mm256_set1_epi32(kRedBlueWeights)),
                          _mm256_madd_epi16(green, _mm256_set1_epi32(kGreenWeight)));
}

// 32 pixels a step. Packing works within 128-bit lanes, so the bytes come
// out in groups of four pixels 0, 8, 16, 24, 4, 12, 20, 28 and are put back
// in order by one permutation.
[[gnu::target("avx2")]] std::size_t ReduceToCubeAvx2(const std::uint32_t* pixels, std::size_t count,
                                                     std::uint8_t* out) {
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  std::size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const std::uint32_t* p = pixels + i;
    const __m256i packed =
        _mm256_packus_epi16(_mm256_packs_epi32(CubeIndices8(p), CubeIndices8(p + 8)),
                            _mm256_packs_epi32(CubeIndices8(p + 16), CubeIndices8(p + 24)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_permutevar8x32_epi32(packed, order));
  }
  return i;
}
#endif

}  // namespace

std::uint8_t CubeIndex(Color color) {
  return static_cast<std::uint8_t>(36 * Level(RedOf(color)) + 6 * Level(GreenOf(color)) +
                                   Level(BlueOf(color)));
}

void ReduceToCube(const std::uint32_t* pixels, std::size_t count, std::uint8_t* out) {
  std::size_t i = 0;
#if defined(PLOVEX_CUBE_AVX2)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) i = ReduceToCubeAvx2(pixels, count, out);
#endif
#if defined(__SSE2__)
  for (; i + 16 <= count; i += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), CubeIndices16(pixels + i));
  }
#endif
  for (; i < count; ++i) out[i] = CubeIndex(pixels[i]);
}

TGIFColorTable CubeColorTable() {
  TGIFColorTable table;
  table.entries.resize(gif::kMaxColorTableEntries, {0, 0, 0});
  for (int i = 0; i < kCubeColorCount; ++i) {
    table.entries[i] = {static_cast<std::uint8_t>(51 * (i / 36)),
                        static_cast<std::uint8_t>(51 * (i / 6 % 6)),
                        static_cast<std::uint8_t>(51 * (i % 6))};
  }
  return table;
}

}  // namespace plovex
