#include "image/gif_lzw_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "image/gif_bit_writer.h"
#include "image/gif_format.h"

namespace plovex {
namespace {

// The dictionary: (prefix code << 8 | pixel) -> code. A slot packs
// key << 12 | code into one word; slots come in buckets of four, so a lookup
// reads one 16-byte bucket and usually decides there, without a probing loop
// whose exit the processor would mispredict. Entries are never removed
// (only all at once), so a bucket fills from its front and a lookup that
// meets an empty slot has missed. 8192 slots for at most 3837 entries keep
// overflow into the next bucket rare and the table (32 KiB) in the
// first-level cache.
class CodeTable {
 public:
  CodeTable() { Clear(); }

  void Clear() { slots_.fill(kEmpty); }

  // The code entered for key, or -1 with `slot` set to where key would go.
  int Find(std::uint32_t key, std::uint32_t& slot) const {
    for (std::uint32_t bucket = Bucket(key);; bucket = (bucket + 1) & (kBuckets - 1)) {
      const std::uint32_t* b = &slots_[bucket * kWays];
      // Most keys sit first in their bucket; testing that slot alone first
      // keeps the walk through known strings one load per pixel.
      if ((b[0] >> 12) == key) return static_cast<int>(b[0] & 0xFFF);
#if defined(__SSE2__)
      const __m128i entries = _mm_load_si128(reinterpret_cast<const __m128i*>(b));
      const __m128i keys = _mm_srli_epi32(entries, 12);
      const int hits = _mm_movemask_ps(
          _mm_castsi128_ps(_mm_cmpeq_epi32(keys, _mm_set1_epi32(static_cast<int>(key)))));
      if (hits != 0)
        return static_cast<int>(b[std::countr_zero(static_cast<unsigned>(hits))] & 0xFFF);
      const int empty =
          _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(entries, _mm_set1_epi32(-1))));
      if (empty != 0) {
        slot = bucket * kWays +
               static_cast<std::uint32_t>(std::countr_zero(static_cast<unsigned>(empty)));
        return -1;
      }
#else
      for (std::uint32_t k = 0; k < kWays; ++k) {
        if ((b[k] >> 12) == key) return static_cast<int>(b[k] & 0xFFF);
        if (b[k] == kEmpty) {
          slot = bucket * kWays + k;
          return -1;
        }
      }
#endif
    }
  }

  // Enters key, known to be absent, at the slot a failed Find gave.
  void InsertAt(std::uint32_t slot, std::uint32_t key, std::uint32_t code) {
    slots_[slot] = key << 12 | code;
  }

  void Insert(std::uint32_t key, std::uint32_t code) {
    std::uint32_t slot = 0;
    Find(key, slot);
    InsertAt(slot, key, code);
  }

 private:
  static constexpr std::uint32_t kWays = 4;
  static constexpr std::uint32_t kBuckets = 2048;
  // Its key part would be prefix 4095, which is never assigned.
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

  static std::uint32_t Bucket(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - 11); }

  alignas(16) std::array<std::uint32_t, kWays * kBuckets> slots_;
};

// The end of the run of `pixel` that starts at `from`.
const std::uint8_t* RunEnd(const std::uint8_t* from, const std::uint8_t* end, std::uint8_t pixel) {
  const std::uint8_t* p = from;
  if constexpr (std::endian::native == std::endian::little) {
    const std::uint64_t pattern = pixel * 0x0101010101010101ull;
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      const std::uint64_t diff = word ^ pattern;
      if (diff != 0) return p + std::countr_zero(diff) / 8;
      p += 8;
    }
  }
  while (p != end && *p == pixel) ++p;
  return p;
}

// The coder proper. Plain LZW walks the dictionary one lookup per pixel;
// this one produces the same codes with fewer lookups. On the graph most
// pixels lie in long runs of one colour, crossed with arithmetic: the strings
// made only of pixel p always form a chain p, pp, ppp, ... of run_length_[p]
// strings, so greedy matching inside a run takes the longest chain string
// that fits, emits it, and the chain grows by one. Most other steps repeat an
// earlier one and are answered by recent_child_ before the hash table.
class LzwCoder {
 public:
  LzwCoder(int min_code_size, std::size_t pixel_count)
      : bits_(pixel_count / 2 + 64),
        min_code_size_(min_code_size),
        clear_(1u << min_code_size),
        end_(clear_ + 1),
        first_free_(clear_ + 2),
        width_(min_code_size + 1),
        next_free_(first_free_),
        chains_(new std::uint16_t[std::size_t{clear_} * kChainStride]) {
    ResetChains();
    recent_child_.fill(kNoChild);
  }

  std::vector<std::uint8_t> Encode(const std::uint8_t* in, std::size_t count) {
    Write(clear_);
    if (count > 0) {
      const std::uint8_t* const end = in + count;
      const std::uint8_t* next = in + 1;
      std::uint32_t prefix = in[0];
      while (next != end) {
        const std::uint32_t pixel = *next;
        if (prefix == pixel) {
          // Only a single-pixel prefix can equal a pixel: a run begins.
          const std::uint8_t* const run_end = RunEnd(next, end, *next);
          prefix = EncodeRun(pixel, static_cast<std::size_t>(run_end - next) + 1);
          next = run_end;
          continue;
        }
        const std::uint32_t recent = recent_child_[prefix];
        if ((recent & 0xFFFF) == pixel) {
          prefix = recent >> 16;
          ++next;
          continue;
        }
        const std::uint32_t key = prefix << 8 | pixel;
        std::uint32_t slot = 0;
        const int code = table_.Find(key, slot);
        if (code >= 0) {
          recent_child_[prefix] = static_cast<std::uint32_t>(code) << 16 | pixel;
          prefix = static_cast<std::uint32_t>(code);
        } else {
          EndMatch(prefix, key, slot);
          prefix = pixel;
        }
        ++next;
      }
      Write(prefix);
    }
    Write(end_);
    return bits_.Finish();
  }

 private:
  // Room for the longest run string of one pixel: 1 + the 3837 codes of one
  // dictionary generation.
  static constexpr std::size_t kChainStride = 4096;
  // A recent_child_ entry whose pixel part matches no pixel.
  static constexpr std::uint32_t kNoChild = 0xFFFF;

  void Write(std::uint32_t code) {
    bits_.Put(code, width_);
    if (code == clear_) {
      width_ = min_code_size_ + 1;
    } else if (next_free_ > (1u << width_) - 1 && width_ < gif::kMaxCodeWidth) {
      ++width_;
    }
  }

  // After writing a code: enters key under the next free code and returns
  // it, or, with the dictionary full, writes a clear code, starts afresh and
  // returns 0.
  std::uint32_t Enter(std::uint32_t key, const std::uint32_t* slot) {
    if (next_free_ < gif::kCodeLimit) {
      if (slot != nullptr) {
        table_.InsertAt(*slot, key, next_free_);
      } else {
        table_.Insert(key, next_free_);
      }
      return next_free_++;
    }
    Write(clear_);
    table_.Clear();
    recent_child_.fill(kNoChild);
    next_free_ = first_free_;
    ResetChains();
    return 0;
  }

  // The match `prefix` cannot take the next pixel (key is not in the
  // dictionary): writes it and enters the string one pixel longer.
  void EndMatch(std::uint32_t prefix, std::uint32_t key, std::uint32_t slot) {
    Write(prefix);
    const std::uint32_t code = Enter(key, &slot);
    if (code != 0) recent_child_[prefix] = code << 16 | (key & 0xFF);
  }

  // Codes a run of `length` pixels of value `pixel`, the current
  // single-pixel prefix included, and returns the prefix it leaves. Run
  // strings enter the dictionary only here: a match reaches pp only from the
  // single pixel p followed by p, and that always starts a run.
  // Out of line: the walk's loop then keeps its state in registers.
  [[gnu::noinline]] std::uint32_t EncodeRun(std::uint32_t pixel, std::size_t length) {
    while (length > run_length_[pixel]) {
      const std::size_t longest = run_length_[pixel];
      const std::uint32_t top = ChainCode(pixel, longest);
      Write(top);
      const std::uint32_t code = Enter(top << 8 | pixel, nullptr);
      if (code != 0) Extend(pixel, code);
      length -= longest;
    }
    return ChainCode(pixel, length);
  }

  // The code of the string of k pixels `pixel`, k from 1 to run_length_[p].
  std::uint32_t ChainCode(std::uint32_t pixel, std::size_t k) {
    return k == 1 ? pixel : Chain(pixel)[k];
  }

  std::uint16_t* Chain(std::uint32_t pixel) { return chains_.get() + pixel * kChainStride; }

  void Extend(std::uint32_t pixel, std::uint32_t code) {
    Chain(pixel)[++run_length_[pixel]] = static_cast<std::uint16_t>(code);
  }

  void ResetChains() { run_length_.fill(1); }

  GifBitWriter bits_;
  const int min_code_size_;
  const std::uint32_t clear_;
  const std::uint32_t end_;
  const std::uint32_t first_free_;
  int width_;
  std::uint32_t next_free_;
  CodeTable table_;
  // Per code, its child code and that child's last pixel (child << 16 |
  // pixel) last entered or found: a walk through a repeated pattern mostly
  // follows the same child again, which costs one load instead of a lookup.
  // Emptied with the dictionary.
  std::array<std::uint32_t, 4096> recent_child_;
  // chains_[p * kChainStride + k] is the code of the string of k pixels p,
  // valid for k from 2 up to run_length_[p] (left uninitialised otherwise,
  // so only the rows of pixels that have runs are ever touched).
  std::array<std::uint16_t, 256> run_length_;
  std::unique_ptr<std::uint16_t[]> chains_;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> LzwEncode(const std::uint8_t* indices, std::size_t count,
                                                   int min_code_size, int color_count) {
  if (min_code_size < gif::kMinLzwCodeSize || min_code_size > 8) return std::nullopt;
  const int limit = std::min(color_count, 1 << min_code_size);
  if (limit < 256 &&
      std::any_of(indices, indices + count, [&](std::uint8_t i) { return i >= limit; })) {
    return std::nullopt;
  }
  auto coder = std::make_unique<LzwCoder>(min_code_size, count);
  return coder->Encode(indices, count);
}

}  // namespace plovex
