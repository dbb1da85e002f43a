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

#if defined(__SSE2__)
// The cube indices of eight pixels as 16-bit lanes.
__m128i CubeIndices8(const std::uint32_t* pixels) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 4));
  const __m128i low_byte = _mm_set1_epi32(0xFF);
  auto levels = [&](int shift) {
    const __m128i v = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, shift), low_byte),
                                      _mm_and_si128(_mm_srli_epi32(b, shift), low_byte));
    return _mm_mulhi_epu16(_mm_add_epi16(v, _mm_set1_epi16(3)), _mm_set1_epi16(1286));
  };
  return _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(levels(0), _mm_set1_epi16(36)),
                                     _mm_mullo_epi16(levels(8), _mm_set1_epi16(6))),
                       levels(16));
}
#endif

#if defined(PLOVEX_CUBE_AVX2)
// The same with 256-bit registers, for processors that have them: 32 pixels
// a step. Packing works within 128-bit lanes, so the bytes come out in
// groups of four pixels 0, 8, 16, 24, 4, 12, 20, 28 and are put back in
// order by one permutation.
[[gnu::target("avx2")]] __m256i LevelsAvx2(__m256i a, __m256i b, int shift) {
  const __m256i low_byte = _mm256_set1_epi32(0xFF);
  const __m256i v = _mm256_packs_epi32(_mm256_and_si256(_mm256_srli_epi32(a, shift), low_byte),
                                       _mm256_and_si256(_mm256_srli_epi32(b, shift), low_byte));
  return _mm256_mulhi_epu16(_mm256_add_epi16(v, _mm256_set1_epi16(3)), _mm256_set1_epi16(1286));
}

// Sixteen pixels' indices as 16-bit lanes, in lane-interleaved order.
[[gnu::target("avx2")]] __m256i CubeIndices16(const std::uint32_t* p) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8));
  return _mm256_add_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(LevelsAvx2(a, b, 0), _mm256_set1_epi16(36)),
                       _mm256_mullo_epi16(LevelsAvx2(a, b, 8), _mm256_set1_epi16(6))),
      LevelsAvx2(a, b, 16));
}

[[gnu::target("avx2")]] std::size_t ReduceToCubeAvx2(const std::uint32_t* pixels, std::size_t count,
                                                     std::uint8_t* out) {
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  std::size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i packed =
        _mm256_packus_epi16(CubeIndices16(pixels + i), CubeIndices16(pixels + i + 16));
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
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_packus_epi16(CubeIndices8(pixels + i), CubeIndices8(pixels + i + 8)));
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
