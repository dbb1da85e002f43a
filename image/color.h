#pragma once
// A colour as the picture stores it: 0x00BBGGRR, red in the low byte.
// Values with bits above 23 set (system colours, "clNone", "clDefault")
// travel through settings unchanged; the surface draws their low 24 bits.
#include <cstdint>

namespace plovex {

using Color = std::uint32_t;

constexpr Color kBlack = 0x000000;
constexpr Color kGrey = 0x808080;
constexpr Color kSilver = 0xC0C0C0;
constexpr Color kWhite = 0xFFFFFF;

constexpr std::uint8_t RedOf(Color c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GreenOf(Color c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(Color c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

}  // namespace plovex
