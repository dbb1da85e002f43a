#pragma once
// OneBased<T, N>: N items indexed 1..N, so that code can say Texts[4] for the
// fourth overlay exactly as the settings and the configuration pages number
// them. Indexing outside 1..N is a programming error (checked in debug).
#include <array>
#include <cassert>
#include <cstddef>

namespace plovex {

template <typename T, std::size_t N>
class OneBased {
 public:
  T& operator[](std::size_t i) {
    assert(i >= 1 && i <= N);
    return items_[i - 1];
  }
  const T& operator[](std::size_t i) const {
    assert(i >= 1 && i <= N);
    return items_[i - 1];
  }
  static constexpr std::size_t size() { return N; }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  bool operator==(const OneBased&) const = default;

 private:
  std::array<T, N> items_{};
};

}  // namespace plovex
