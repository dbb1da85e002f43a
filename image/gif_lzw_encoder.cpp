#include "image/gif_lzw_encoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "image/gif_bit_writer.h"
#include "image/gif_format.h"

namespace plovex {
namespace {

constexpr std::size_t kCodeCount = std::size_t{1} << gif::kMaxCodeWidth;
constexpr std::size_t kPixelValues = 256;

// The dictionary: an open-addressed hash table from the key prefix << 8 |
// pixel of a string to its code, each slot the key and the code packed as
// key << 12 | code (20 + 12 bits; 0 is an empty slot, as no entered code is
// 0). Twice as many slots as codes keep probes short, and its 32 KiB stay
// in the processor's caches where a table indexed by the key itself (2 MiB)
// would be touched everywhere, resident for good and cold again at each
// picture of a program that encodes once a second. Between calls every slot
// is 0 again: the coder lists the slots it fills and zeroes just those at
// each clear code and when it finishes, so nothing of one picture reaches
// the next.
//
// Beside it, for the run arithmetic of the coder, the codes of the strings
// made of a single repeated pixel: chains[p][k] is the code of k pixels p.
// One block, so that the loop reaches all of it from one register.
struct Dictionary {
  static constexpr int kSlotBits = gif::kMaxCodeWidth + 1;
  static constexpr std::uint32_t kSlotMask = (1u << kSlotBits) - 1;
  std::uint32_t slots[std::size_t{1} << kSlotBits];
  // k = 1 is p itself and never stored: rows of pixels without runs stay
  // untouched, where setting it up front would touch a page for each pixel
  // value (1 MiB resident for good).
  std::uint16_t chains[kPixelValues][kCodeCount];
  // filled[code]: the slot the code was entered in.
  std::uint16_t filled[kCodeCount];

  static std::uint32_t Home(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kSlotBits); }
  // The code of the string `key`, 0 when it has none.
  std::uint32_t Find(std::uint32_t key) const {
    for (std::uint32_t i = Home(key);; i = (i + 1) & kSlotMask) {
      const std::uint32_t slot = slots[i];
      if (slot == 0) return 0;
      if ((slot >> gif::kMaxCodeWidth) == key) return slot & (kCodeCount - 1);
    }
  }
  // Enters a key that has no code yet.
  void Enter(std::uint32_t key, std::uint32_t code) {
    std::uint32_t i = Home(key);
    while (slots[i] != 0) i = (i + 1) & kSlotMask;
    slots[i] = key << gif::kMaxCodeWidth | code;
    filled[code] = static_cast<std::uint16_t>(i);
  }

  static Dictionary& ForThisThread() {
    struct Free {
      void operator()(Dictionary* d) const { std::free(d); }
    };
    thread_local std::unique_ptr<Dictionary, Free> dictionary;
    if (!dictionary) {
      // Zeroed by calloc: fresh pages from the system cost nothing until
      // touched, where zeroing them here would touch all of them.
      dictionary.reset(static_cast<Dictionary*>(std::calloc(1, sizeof(Dictionary))));
      if (!dictionary) throw std::bad_alloc();
    }
    return *dictionary;
  }
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

// The most bytes `count` pixels can code to: every code covers at least one
// pixel, a clear code follows at the earliest 3837 codes after the last one,
// plus the first clear, the last prefix and the end code, at most 12 bits
// each.
std::size_t MaxCodedBytes(std::size_t count) {
  const std::size_t codes = count + count / (gif::kCodeLimit - 258) + 3;
  return (codes * gif::kMaxCodeWidth + 7) / 8 + GifBitPacker::kSlack;
}

// Plain LZW walks the dictionary one lookup per pixel; this coder gives the
// same codes with fewer steps. Most pixels of the graph lie in long runs of
// one colour, crossed with arithmetic: the strings made only of pixel p
// always form a chain p, pp, ppp, ... of run_length[p] strings, so greedy
// matching that starts a run at the single pixel p takes the longest chain
// string that fits, writes it, and the chain grows by one. A match reaches
// pp only from the single pixel p followed by p, and that always starts a
// run, so no other step meets a run string.
//
// All state of the loop is local so that it stays in registers; the bytes
// go to a buffer sized for the worst case, so no step checks for room.
//
// The walk through the dictionary runs at one of two speeds depending on
// where its loop falls among the processor's 32-byte fetch blocks (the
// graph took 77 or 124 us in the same build). Aligning the function fixes
// that placement, which otherwise shifts with whatever is linked before it.
[[gnu::aligned(64)]] std::vector<std::uint8_t> Encode(const std::uint8_t* in, std::size_t count,
                                                      int min_code_size) {
  const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[MaxCodedBytes(count)]);
  Dictionary& d = Dictionary::ForThisThread();
  // A picture a second finds the table out of the caches: asked for all at
  // once, its lines arrive together instead of one miss per lookup.
  for (std::size_t i = 0; i < std::size(d.slots); i += 64 / sizeof d.slots[0])
    __builtin_prefetch(&d.slots[i]);
  std::uint16_t run_length[kPixelValues];
  std::fill_n(run_length, kPixelValues, 1);

  const std::uint32_t clear = 1u << min_code_size;
  const std::uint32_t first_free = clear + 2;
  const int first_width = min_code_size + 1;
  int width = first_width;
  std::uint32_t next_free = first_free;
  GifBitPacker bits(buffer.get());

  // Writes a code of a string; the width then grows once the next free code
  // no longer fits (it never exceeds 4095, so never past 12 bits).
  auto write = [&](std::uint32_t code) {
    bits.Put(code, width);
    if ((next_free >> width) != 0) ++width;
  };
  auto empty_dictionary = [&] {
    for (std::uint32_t code = first_free; code < next_free; ++code) d.slots[d.filled[code]] = 0;
    std::fill_n(run_length, kPixelValues, 1);
    next_free = first_free;
  };
  // After writing a code: enters key under the next free code and returns
  // true, or, with the dictionary full, writes a clear code, starts afresh
  // and returns false.
  auto enter = [&](std::uint32_t key) {
    if (next_free < gif::kCodeLimit) {
      d.Enter(key, next_free);
      ++next_free;
      return true;
    }
    bits.Put(clear, width);
    width = first_width;
    empty_dictionary();
    return false;
  };
  // Codes a run of `length` pixels p, the current single-pixel prefix
  // included, and returns the prefix it leaves.
  auto run = [&](std::uint32_t p, std::size_t length) {
    std::uint16_t* const chain = d.chains[p];
    const auto code_of = [&](std::size_t k) { return k == 1 ? p : std::uint32_t{chain[k]}; };
    while (length > run_length[p]) {
      const std::size_t longest = run_length[p];
      const std::uint32_t top = code_of(longest);
      write(top);
      const std::uint32_t code = next_free;
      if (enter(top << 8 | p)) chain[++run_length[p]] = static_cast<std::uint16_t>(code);
      length -= longest;
    }
    return code_of(length);
  };

  bits.Put(clear, width);
  if (count > 0) {
    const std::uint8_t* const end = in + count;
    const std::uint8_t* next = in + 1;
    std::uint32_t prefix = in[0];
    std::uint32_t pixel = prefix;
    for (;;) {
      if (next != end && *next == pixel) {
        const std::uint8_t* const run_end = RunEnd(next, end, static_cast<std::uint8_t>(pixel));
        prefix = run(pixel, static_cast<std::size_t>(run_end - next) + 1);
        next = run_end;
      }
      for (;;) {
        if (next == end) goto finished;
        pixel = *next++;
        const std::uint32_t code = d.Find(prefix << 8 | pixel);
        if (code == 0) break;
        prefix = code;
      }
      write(prefix);
      enter(prefix << 8 | pixel);
      prefix = pixel;
    }
  finished:
    write(prefix);
  }
  write(clear + 1);
  std::uint8_t* const last = bits.Finish();
  empty_dictionary();
  return std::vector<std::uint8_t>(buffer.get(), last);
}

}  // namespace

Result<std::vector<std::uint8_t>> LzwEncode(const std::uint8_t* indices, std::size_t count,
                                            int min_code_size, int color_count) {
  if (min_code_size < gif::kMinLzwCodeSize || min_code_size > 8) {
    return Status::InvalidArgument("LZW minimum code size " + std::to_string(min_code_size));
  }
  const int limit = std::min(color_count, 1 << min_code_size);
  if (limit < 256 &&
      std::any_of(indices, indices + count, [&](std::uint8_t i) { return i >= limit; })) {
    return Status::InvalidArgument(gif::kColorNotInColorTable);
  }
  return Encode(indices, count, min_code_size);
}

}  // namespace plovex
