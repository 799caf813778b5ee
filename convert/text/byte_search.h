#pragma once
// Finding the next occurrence of one byte: the record, field and subfield
// separators of a record, a tab or a line break. The search runs sixteen
// bytes at a time where the compiler offers SSE2 (every x86_64 build) and
// eight bytes at a time in a plain word elsewhere, so that no build leans on
// the C runtime's memchr: the one Windows ships runs at a fraction of the
// speed of glibc's.
#include <cstdint>
#include <cstring>

// The program is built by GCC (natively and with mingw-w64), whose
// builtins the vector search uses.
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
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

inline unsigned LowestBit(unsigned mask) { return static_cast<unsigned>(__builtin_ctz(mask)); }

inline __m128i Matches(const char* at, __m128i wanted) {
  return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), wanted);
}

inline unsigned MatchMask(const char* at, __m128i wanted) {
  return static_cast<unsigned>(_mm_movemask_epi8(Matches(at, wanted)));
}

// Two loads of `half` bytes (4 or 8) that together cover the range of
// between half and 2 * half bytes, the second ending at its end: no byte
// outside the range is read.
inline __m128i TwoLoads(const char* from, const char* end, std::size_t half) {
  __m128i low, high;
  if (half == 8) {
    low = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from));
    high = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(end - 8));
  } else {
    std::int32_t first, last;
    std::memcpy(&first, from, 4);
    std::memcpy(&last, end - 4, 4);
    low = _mm_cvtsi32_si128(first);
    high = _mm_cvtsi32_si128(last);
  }
  return _mm_unpacklo_epi64(low, high);  // the second load's bytes from bit 8 on
}

inline const char* FindInTwoLoads(const char* from, const char* end, __m128i wanted, std::size_t half) {
  const __m128i both = TwoLoads(from, end, half);
  unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(both, wanted)));
  mask &= half == 8 ? 0xFFFFu : 0x0F0Fu;  // the 4-byte loads leave zeros, which may be the byte wanted
  if (mask == 0) return end;
  const unsigned bit = LowestBit(mask);
  return bit < 8 ? from + bit : end - 8 + (bit - 8) + (half == 8 ? 0 : 4);
}

// Sixty-four bytes a round while there are that many, then sixteen, then
// one load that ends at the range's end (over bytes already seen, which
// hold no match).
inline const char* FindInVectors(const char* from, const char* end, char c) {
  const __m128i wanted = _mm_set1_epi8(c);
  const auto size = static_cast<std::size_t>(end - from);
  if (size < 16) {
    if (size >= 8) return FindInTwoLoads(from, end, wanted, 8);
    if (size >= 4) return FindInTwoLoads(from, end, wanted, 4);
    return FindInShortRange(from, end, c);
  }
  for (; end - from >= 64; from += 64) {
    const __m128i a = Matches(from, wanted), b = Matches(from + 16, wanted);
    const __m128i x = Matches(from + 32, wanted), y = Matches(from + 48, wanted);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(x, y))) != 0) break;
  }
  for (; end - from >= 16; from += 16) {
    const unsigned mask = MatchMask(from, wanted);
    if (mask != 0) return from + LowestBit(mask);
  }
  if (from == end) return end;
  const unsigned mask = MatchMask(end - 16, wanted);
  return mask != 0 ? end - 16 + LowestBit(mask) : end;
}

#endif

inline bool AnyOfInShortRange(const char* from, const char* end, char a, char b, char c) {
  for (; from != end; ++from) {
    if (*from == a || *from == b || *from == c) return true;
  }
  return false;
}

#if defined(QUIRNEL_BYTE_SEARCH_SSE2)

// Past the blocks of sixteen bytes that hold none of a, b and c: at the
// first block that holds one, or at the fewer than sixteen bytes left.
inline const char* SkipVectorsWithout(const char* from, const char* end, char a, char b, char c) {
  const __m128i wantedA = _mm_set1_epi8(a), wantedB = _mm_set1_epi8(b), wantedC = _mm_set1_epi8(c);
  for (; end - from >= 16; from += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, wantedA), _mm_cmpeq_epi8(bytes, wantedB)),
                                     _mm_cmpeq_epi8(bytes, wantedC));
    if (_mm_movemask_epi8(any) != 0) break;
  }
  return from;
}

#endif

// Whether a word holds a byte equal to c. The answer is exact: a borrow
// can mark a byte above a real match, never a word without one.
inline bool WordHolds(std::uint64_t word, char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  word ^= kOnes * static_cast<unsigned char>(c);
  return ((word - kOnes) & ~word & kHighs) != 0;
}

// Past the words of eight bytes that hold none of a, b and c.
inline const char* SkipWordsWithout(const char* from, const char* end, char a, char b, char c) {
  for (; end - from >= 8; from += 8) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if (WordHolds(word, a) || WordHolds(word, b) || WordHolds(word, c)) break;
  }
  return from;
}

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

inline const char* FindEitherInShortRange(const char* from, const char* end, char a, char b) {
  while (from != end && *from != a && *from != b) ++from;
  return from;
}

#if defined(QUIRNEL_BYTE_SEARCH_SSE2)

inline unsigned EitherMask(__m128i bytes, __m128i wantedA, __m128i wantedB) {
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, wantedA), _mm_cmpeq_epi8(bytes, wantedB))));
}

// As FindInTwoLoads, for either of two bytes.
inline const char* FindEitherInTwoLoads(const char* from, const char* end, __m128i wantedA, __m128i wantedB,
                                        std::size_t half) {
  unsigned mask = EitherMask(TwoLoads(from, end, half), wantedA, wantedB);
  mask &= half == 8 ? 0xFFFFu : 0x0F0Fu;  // the 4-byte loads leave zeros, which may be a byte wanted
  if (mask == 0) return end;
  const unsigned bit = LowestBit(mask);
  return bit < 8 ? from + bit : end - 8 + (bit - 8) + (half == 8 ? 0 : 4);
}

// As FindInVectors, sixteen bytes a round, for either of two bytes.
inline const char* FindEitherInVectors(const char* from, const char* end, char a, char b) {
  const __m128i wantedA = _mm_set1_epi8(a), wantedB = _mm_set1_epi8(b);
  const auto size = static_cast<std::size_t>(end - from);
  if (size < 16) {
    if (size >= 8) return FindEitherInTwoLoads(from, end, wantedA, wantedB, 8);
    if (size >= 4) return FindEitherInTwoLoads(from, end, wantedA, wantedB, 4);
    return FindEitherInShortRange(from, end, a, b);
  }
  for (; end - from >= 16; from += 16) {
    const unsigned mask = EitherMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), wantedA, wantedB);
    if (mask != 0) return from + LowestBit(mask);
  }
  if (from == end) return end;
  const unsigned mask = EitherMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16)), wantedA, wantedB);
  return mask != 0 ? end - 16 + LowestBit(mask) : end;
}

#endif

#if defined(QUIRNEL_BYTE_SEARCH_SSE2)

// The bits of the bytes equal to c among the fewer than sixteen of
// [from, end), bit i for from[i]: two loads that cover them, the bytes the
// second load reads again dropped.
inline unsigned MatchMaskOfShortRange(const char* from, const char* end, char c, __m128i wanted) {
  const auto size = static_cast<unsigned>(end - from);
  if (size < 4) {
    unsigned mask = 0;
    for (unsigned i = 0; i < size; ++i) mask |= (from[i] == c ? 1u : 0u) << i;
    return mask;
  }
  const unsigned half = size >= 8 ? 8 : 4;
  const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(TwoLoads(from, end, half), wanted)));
  const unsigned halfBits = (1u << half) - 1;
  // The second load's bit k is the byte at end - half + k = from + half + k - (2 * half - size).
  return (mask & halfBits) | ((((mask >> 8) & halfBits) >> (2 * half - size)) << half);
}

#endif

}  // namespace detail

// Calls visit(at) for every c in [from, end), in order.
template <typename Visit>
inline void ForEach(const char* from, const char* end, char c, Visit&& visit) {
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
  const __m128i wanted = _mm_set1_epi8(c);
  for (; end - from >= 16; from += 16) {
    for (unsigned mask = detail::MatchMask(from, wanted); mask != 0; mask &= mask - 1) {
      visit(from + detail::LowestBit(mask));
    }
  }
  for (unsigned mask = detail::MatchMaskOfShortRange(from, end, c, wanted); mask != 0; mask &= mask - 1) {
    visit(from + detail::LowestBit(mask));
  }
#else
  for (; from != end; ++from) {
    if (*from == c) visit(from);
  }
#endif
}

// Whether [from, end) holds a, b or c, in one pass over it.
inline bool HoldsAnyOf(const char* from, const char* end, char a, char b, char c) {
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
  return detail::AnyOfInShortRange(detail::SkipVectorsWithout(from, end, a, b, c), end, a, b, c);
#else
  return detail::AnyOfInShortRange(detail::SkipWordsWithout(from, end, a, b, c), end, a, b, c);
#endif
}

// The first c in [from, end), or end when there is none.
inline const char* Find(const char* from, const char* end, char c) {
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
  return detail::FindInVectors(from, end, c);
#else
  return detail::FindInShortRange(detail::FindInWords(from, end, c), end, c);
#endif
}

// The first a or b in [from, end), or end when there is none.
inline const char* FindEither(const char* from, const char* end, char a, char b) {
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
  return detail::FindEitherInVectors(from, end, a, b);
#else
  return detail::FindEitherInShortRange(detail::SkipWordsWithout(from, end, a, b, a), end, a, b);
#endif
}

}  // namespace byte_search
