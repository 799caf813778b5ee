#include "directory_number.h"

#include <gtest/gtest.h>

TEST(DirectoryNumber, ReadsDigitsWithBlanksSignAndDroppedFraction) {
  EXPECT_EQ(ReadDirectoryNumber("0012"), 12);
  EXPECT_EQ(ReadDirectoryNumber("00000"), 0);
  EXPECT_EQ(ReadDirectoryNumber("  12"), 12);
  EXPECT_EQ(ReadDirectoryNumber("12  "), 12);
  EXPECT_EQ(ReadDirectoryNumber("+012"), 12);
  EXPECT_EQ(ReadDirectoryNumber("-012"), -12);
  EXPECT_EQ(ReadDirectoryNumber("1.50"), 1);
  EXPECT_EQ(ReadDirectoryNumber(" 7.9 "), 7);
}

TEST(DirectoryNumber, AnythingElseIsUnreadable) {
  for (const char* text : {"12a4", "    ", "", "1e3", "1,2", "+", "-", " - 1", "1 2", "0x1F", "1.2.3"}) {
    EXPECT_FALSE(ReadDirectoryNumber(text).has_value()) << '"' << text << '"';
  }
}
