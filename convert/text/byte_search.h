#pragma once
// Finding the next occurrence of one byte: the record, field and subfield
// separators of a record, a tab or a line break. The search runs sixteen
// bytes at a time where the compiler offers SSE2 (every x86_64 build) and
// eight bytes at a time in a plain word elsewhere, so that no build leans on
// the C runtime's memchr: the one Windows ships runs at a fraction of the
// speed of glibc's.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define QUIRNEL_BYTE_SEARCH_SSE2 1
#endif

namespace byte_search {

namespace detail {

inline const char* FindInShortRange(const char* from, const char* end, char c) {
  while (from != end && *from != c) ++from;
  return from;
}

#if defined(QUIRNEL_BYTE_SEARCH_SSE2)

inline unsigned LowestBit(unsigned mask) {
#if defined(__GNUC__) || defined(__clang__)
  return static_cast<unsigned>(__builtin_ctz(mask));
#else
  unsigned at = 0;
  while ((mask & 1u) == 0) {
    mask >>= 1;
    ++at;
  }
  return at;
#endif
}

inline const char* FindInVectors(const char* from, const char* end, char c) {
  const __m128i wanted = _mm_set1_epi8(c);
  for (; end - from >= 16; from += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
    if (mask != 0) return from + LowestBit(mask);
  }
  return from;
}

#endif

// A word with 0x80 in every byte that equals c, and possibly in bytes above
// the first such (a borrow): the word's bytes are looked at one by one once
// any is set, so the byte order of the machine plays no part.
inline const char* FindInWords(const char* from, const char* end, char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const std::uint64_t wanted = kOnes * static_cast<unsigned char>(c);
  for (; end - from >= 8; from += 8) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    word ^= wanted;
    if (((word - kOnes) & ~word & kHighs) != 0) return FindInShortRange(from, from + 8, c);
  }
  return from;
}

}  // namespace detail

// The first c in [from, end), or end when there is none.
inline const char* Find(const char* from, const char* end, char c) {
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
  from = detail::FindInVectors(from, end, c);
#else
  from = detail::FindInWords(from, end, c);
#endif
  return detail::FindInShortRange(from, end, c);
}

}  // namespace byte_search
