#pragma once
// GIF's variable-code-width LZW compression of one frame's colour indices.
//
// The code stream starts with a clear code, codes start (min_code_size + 1)
// bits wide and widen one bit as soon as the next free code no longer fits,
// up to 12 bits; when the next free code reaches 4095 a clear code is written
// instead of a new entry and the dictionary starts afresh. It ends with the
// last prefix, the end-of-information code and zero bits up to a whole byte.
// The result is the bare code stream; the caller cuts it into sub-blocks.
//
// Each thread that encodes keeps the dictionary's memory (2 MiB, of which a
// picture touches the 40 KiB of its hash table and a few kilobytes per
// colour that comes in runs) from its first call until it ends;
// calls never see anything of earlier calls, and threads do not share it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/status.h"

namespace plovex {

// min_code_size is 2 to 8; indices must lie below color_count and below
// 2^min_code_size. Fails with kInvalidArgument (and produces no partial
// stream) when an index does not ("Color not in color table"), or
// min_code_size is out of range.
Result<std::vector<std::uint8_t>> LzwEncode(const std::uint8_t* indices, std::size_t count,
                                            int min_code_size, int color_count);

}  // namespace plovex
