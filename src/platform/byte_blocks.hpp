#pragma once

// Sixteen bytes looked at together, for the byte searches of the scan and the UTF-8 check: one
// interface over the machine's vector instructions, with a portable form beside it. Header-only,
// so that every call is inlined into the loops that use it. This is the one place that asks
// which instructions the machine has.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane::platform {

// The same operations in plain C++: the fallback where no vector instructions are known here,
// and the reference the vector form is tested against on every build.
struct PortableBlocks {
  static constexpr std::size_t kSize = 16;

  struct Block {
    std::array<unsigned char, kSize> lanes;

    friend Block operator|(Block a, const Block& b) {
      for (std::size_t i = 0; i < kSize; ++i) a.lanes[i] |= b.lanes[i];
      return a;
    }
    friend Block operator&(Block a, const Block& b) {
      for (std::size_t i = 0; i < kSize; ++i) a.lanes[i] &= b.lanes[i];
      return a;
    }
  };

  // The sixteen bytes from `at`, which needs no alignment.
  static Block load(const char* at) {
    Block block;
    std::memcpy(block.lanes.data(), at, kSize);
    return block;
  }

  // `c` in every lane.
  static Block repeat(char c) {
    Block block;
    block.lanes.fill(static_cast<unsigned char>(c));
    return block;
  }

  // All ones in the lanes where `a` and `b` hold the same byte, zero in the others.
  static Block equal(const Block& a, const Block& b) {
    Block block;
    for (std::size_t i = 0; i < kSize; ++i) block.lanes[i] = a.lanes[i] == b.lanes[i] ? 0xFF : 0;
    return block;
  }

  // Bit i set when the top bit of lane i is: for a result of `equal`, the lanes that matched;
  // for loaded text, the bytes that are not ASCII.
  static unsigned top_bits(const Block& block) {
    unsigned bits = 0;
    for (std::size_t i = 0; i < kSize; ++i) bits |= static_cast<unsigned>(block.lanes[i] >> 7) << i;
    return bits;
  }

  // How many bytes of `text` are `c`.
  static std::uint64_t count(std::string_view text, char c) {
    return static_cast<std::uint64_t>(std::count(text.begin(), text.end(), c));
  }
};

#if defined(__SSE2__)
// The same with SSE2, which every x86-64 machine has.
struct Sse2Blocks {
  static constexpr std::size_t kSize = 16;

  struct Block {
    __m128i lanes;

    friend Block operator|(Block a, Block b) { return {_mm_or_si128(a.lanes, b.lanes)}; }
    friend Block operator&(Block a, Block b) { return {_mm_and_si128(a.lanes, b.lanes)}; }
  };

  static Block load(const char* at) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(at))};
  }
  static Block repeat(char c) { return {_mm_set1_epi8(c)}; }
  static Block equal(Block a, Block b) { return {_mm_cmpeq_epi8(a.lanes, b.lanes)}; }
  static unsigned top_bits(Block block) {
    return static_cast<unsigned>(_mm_movemask_epi8(block.lanes));
  }

  static std::uint64_t count(std::string_view text, char c) {
    const char* data = text.data();
    const std::size_t n = text.size();
    std::uint64_t total = 0;
    std::size_t i = 0;
    // Sixteen bytes per step: each matching lane adds one to its byte counter, and the counters
    // are summed before any of them can pass 255.
    const __m128i wanted = _mm_set1_epi8(c);
    while (n - i >= kSize) {
      __m128i counters = _mm_setzero_si128();
      const std::size_t steps = std::min<std::size_t>((n - i) / kSize, 255);
      for (std::size_t step = 0; step < steps; ++step, i += kSize) {
        counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(load(data + i).lanes, wanted));
      }
      const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
      total += static_cast<std::uint64_t>(_mm_extract_epi16(sums, 0)) +
               static_cast<std::uint64_t>(_mm_extract_epi16(sums, 4));
    }
    for (; i < n; ++i) total += data[i] == c ? 1 : 0;
    return total;
  }
};

using ByteBlocks = Sse2Blocks;
#else
using ByteBlocks = PortableBlocks;
#endif

// The lowest and the highest lane whose bit is set in `bits` (from top_bits), which is not 0.
inline std::size_t first_lane(unsigned bits) {
  return static_cast<std::size_t>(__builtin_ctz(bits));
}
inline std::size_t last_lane(unsigned bits) {
  return static_cast<std::size_t>(31 - __builtin_clz(bits));
}

}  // namespace quorvane::platform
