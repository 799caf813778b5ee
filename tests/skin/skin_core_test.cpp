// The caption drawn with the "&" underline hidden, checked natively.
#include <gtest/gtest.h>

#include "skin_core.h"

TEST(SkinCore, WithoutPrefixDropsSinglePrefixesAndKeepsDoubledOnes) {
  const struct {
    const wchar_t* caption;
    const wchar_t* shown;
  } cases[] = {
      {L"", L""},          {L"&Save", L"Save"},     {L"a&&b", L"a&b"},  {L"&&&x", L"&x"},
      {L"end&", L"end"},   {L"\x4fdd\x5b58(&S)", L"\x4fdd\x5b58(S)"}, {L"&&", L"&"},
  };
  for (const auto& c : cases) EXPECT_EQ(skin::WithoutPrefix(c.caption), c.shown) << c.caption;
}
