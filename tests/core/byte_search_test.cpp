// Finding one byte, either of two, or any of three, in every search the build has: the byte
// at each place of ranges of every length and alignment, none at all, and
// bytes that look like it to a word-at-a-time search (its value with the high
// bit, and the bytes next to it).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/byte_search.h"

namespace {

using Search = const char* (*)(const char*, const char*, char);

// Each search ends in its short-range loop, as byte_search::Find does.
template <const char* (*Blocks)(const char*, const char*, char)>
const char* Whole(const char* from, const char* end, char c) {
  return byte_search::detail::FindInShortRange(Blocks(from, end, c), end, c);
}

// Every c, by ForEach: the first of them, when it visited each in order and
// nothing else; null when it did not.
const char* EveryThenFirst(const char* from, const char* end, char c) {
  std::vector<const char*> visited, there;
  byte_search::ForEach(from, end, c, [&visited](const char* at) { visited.push_back(at); });
  for (const char* at = from; at != end; ++at) {
    if (*at == c) there.push_back(at);
  }
  if (visited != there) return nullptr;
  return visited.empty() ? end : visited.front();
}

struct Searcher {
  const char* name;
  Search search;
};

const Searcher kSearchers[] = {
    {"Find", byte_search::Find},
    {"words", Whole<byte_search::detail::FindInWords>},
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
    {"vectors", Whole<byte_search::detail::FindInVectors>},
#endif
    {"every", EveryThenFirst},
    // Either of two bytes, the other one found nowhere.
    {"either, first",
     [](const char* from, const char* end, char c) { return byte_search::FindEither(from, end, c, 'U'); }},
    {"either, second",
     [](const char* from, const char* end, char c) { return byte_search::FindEither(from, end, 'U', c); }},
};

// A byte that fills the rest of the range: a plain letter, the byte with its
// high bit set, and the bytes one above and below it.
std::vector<char> Fillers(char wanted) {
  const auto w = static_cast<unsigned char>(wanted);
  return {'a', static_cast<char>(w ^ 0x80), static_cast<char>(w + 1), static_cast<char>(w - 1), '\0'};
}

TEST(ByteSearch, FindsTheFirstOccurrenceAtEveryPlaceAndAlignment) {
  constexpr std::size_t kLongest = 100;  // past a round of sixty-four and more blocks of sixteen
  for (const Searcher& searcher : kSearchers) {
    for (const char wanted : {'\x1D', '\x1E', '\x1F', '\r', '\0', '\xFF', '\x80'}) {
      for (const char filler : Fillers(wanted)) {
        if (filler == wanted) continue;
        for (std::size_t align = 0; align < 16; ++align) {
          std::string storage(align + kLongest + 16, filler);
          char* const base = storage.data() + align;
          for (std::size_t length = 0; length <= kLongest; ++length) {
            const char* const end = base + length;
            ASSERT_EQ(searcher.search(base, end, wanted), end)
                << searcher.name << ": none in " << length << " bytes at alignment " << align;
            for (std::size_t at = 0; at < length; ++at) {
              base[at] = wanted;
              if (at + 1 < length) base[length - 1] = wanted;  // a later one is not the first
              ASSERT_EQ(searcher.search(base, end, wanted), base + at)
                  << searcher.name << ": at " << at << " of " << length << ", alignment " << align << ", byte "
                  << int(static_cast<unsigned char>(wanted)) << ", filler " << int(static_cast<unsigned char>(filler));
              base[at] = filler;
              base[length - 1] = filler;
            }
            base[length] = wanted;  // just past the end is not found
            ASSERT_EQ(searcher.search(base, end, wanted), end) << searcher.name;
            base[length] = filler;
          }
        }
      }
    }
  }
}

using AnyOfSearch = bool (*)(const char*, const char*, char, char, char);

// Each search ends in its short-range loop, as byte_search::HoldsAnyOf does.
template <const char* (*Blocks)(const char*, const char*, char, char, char)>
bool AnyOfWhole(const char* from, const char* end, char a, char b, char c) {
  return byte_search::detail::AnyOfInShortRange(Blocks(from, end, a, b, c), end, a, b, c);
}

const struct {
  const char* name;
  AnyOfSearch search;
} kAnyOfSearchers[] = {
    {"HoldsAnyOf", byte_search::HoldsAnyOf},
    {"words", AnyOfWhole<byte_search::detail::SkipWordsWithout>},
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
    {"vectors", AnyOfWhole<byte_search::detail::SkipVectorsWithout>},
#endif
};

TEST(ByteSearch, FindsAnyOfATabAndLineBreaksAtEveryPlaceAndAlignment) {
  constexpr std::size_t kLongest = 40;  // past two blocks of sixteen and several words
  for (const auto& searcher : kAnyOfSearchers) {
    for (const char wanted : {'\t', '\n', '\r'}) {
      for (const char filler : Fillers(wanted)) {
        if (filler == '\t' || filler == '\n' || filler == '\r') continue;
        for (std::size_t align = 0; align < 16; ++align) {
          std::string storage(align + kLongest + 16, filler);
          char* const base = storage.data() + align;
          for (std::size_t length = 0; length <= kLongest; ++length) {
            const char* const end = base + length;
            base[length] = wanted;  // just past the end is not found
            ASSERT_FALSE(searcher.search(base, end, '\t', '\n', '\r'))
                << searcher.name << ": none in " << length << " bytes at alignment " << align;
            base[length] = filler;
            for (std::size_t at = 0; at < length; ++at) {
              base[at] = wanted;
              ASSERT_TRUE(searcher.search(base, end, '\t', '\n', '\r'))
                  << searcher.name << ": at " << at << " of " << length << ", alignment " << align << ", byte "
                  << int(wanted) << ", filler " << int(static_cast<unsigned char>(filler));
              base[at] = filler;
            }
          }
        }
      }
    }
  }
}

}  // namespace
