#include "record_splitter.h"

#include <gtest/gtest.h>

#include "memory_files.h"

namespace {

struct Split {
  std::vector<std::string> records;
  std::vector<std::uint64_t> offsets;
  bool readFailed = false;
};

Split SplitAll(const std::string& bytes, std::size_t blockSize = 1 << 20, std::size_t chunk = std::string::npos,
               std::size_t failAfter = std::string::npos) {
  StringInputFile input(bytes, chunk, failAfter);
  RecordSplitter splitter(input, blockSize);
  Split split;
  std::string_view record;
  while (splitter.Next(record)) {
    split.records.emplace_back(record);
    split.offsets.push_back(splitter.RecordOffset());
  }
  split.readFailed = splitter.ReadFailed();
  return split;
}

using Records = std::vector<std::string>;
using Offsets = std::vector<std::uint64_t>;

// Every block size from 1 up, and reads that return fewer bytes than asked,
// must split the same way as one big block.
void ExpectSameForAllBlockSizes(const std::string& bytes, const Records& expected) {
  for (std::size_t block = 1; block <= bytes.size() + 2; ++block) {
    for (std::size_t chunk : {block, std::size_t{1}, std::size_t{3}}) {
      EXPECT_EQ(SplitAll(bytes, block, chunk).records, expected) << "block " << block << " chunk " << chunk;
    }
  }
}

}  // namespace

TEST(RecordSplitter, LineBreaksEndRecords) {
  const Split split = SplitAll("one\r\ntwo\rthree\r\n");
  EXPECT_EQ(split.records, (Records{"one", "two", "three"}));
  EXPECT_EQ(split.offsets, (Offsets{0, 5, 9}));
}

TEST(RecordSplitter, LoneLineFeedStaysInsideItsRecord) {
  EXPECT_EQ(SplitAll("a\nb\r\nc\n").records, (Records{"a\nb", "c\n"}));
}

TEST(RecordSplitter, LastRecordNeedsNoLineBreak) {
  EXPECT_EQ(SplitAll("one\r\ntwo").records, (Records{"one", "two"}));
  EXPECT_EQ(SplitAll("only").records, (Records{"only"}));
}

TEST(RecordSplitter, EmptyLinesAreSkipped) {
  const Split split = SplitAll("\r\n\r\none\r\n\r\r\ntwo\r\n\r\n");
  EXPECT_EQ(split.records, (Records{"one", "two"}));
  EXPECT_EQ(split.offsets, (Offsets{4, 12}));
  EXPECT_TRUE(SplitAll("").records.empty());
  EXPECT_TRUE(SplitAll("\r\n\r\r\n").records.empty());
}

TEST(RecordSplitter, RecordTerminatorEndsARecordWithoutLineBreaks) {
  const Split split = SplitAll("aa\x1D" "bb\x1D" "cc\x1D");
  EXPECT_EQ(split.records, (Records{"aa\x1D", "bb\x1D", "cc\x1D"}));
  EXPECT_EQ(split.offsets, (Offsets{0, 3, 6}));
}

TEST(RecordSplitter, LineBreaksBlanksAndNulsAfterTheTerminatorBelongToNoRecord) {
  const std::string bytes = std::string("aa\x1D\r\n") + "bb\x1D\n" + "cc\x1D   " + std::string(3, '\0') + "\r\n" + "dd";
  const Split split = SplitAll(bytes);
  EXPECT_EQ(split.records, (Records{"aa\x1D", "bb\x1D", "cc\x1D", "dd"}));
  EXPECT_EQ(split.offsets, (Offsets{0, 5, 9, 20}));
}

TEST(RecordSplitter, BlanksElsewhereStayInTheRecord) {
  EXPECT_EQ(SplitAll("  a \r\n b").records, (Records{"  a ", " b"}));
}

TEST(RecordSplitter, TinyBlocksSplitAlike) {
  ExpectSameForAllBlockSizes("one\r\ntwo\rthree\r\n\r\nfour", {"one", "two", "three", "four"});
  // A CR that is the last byte of a block still pairs with the LF that follows.
  ExpectSameForAllBlockSizes("ab\r\ncd\r\n", {"ab", "cd"});
  ExpectSameForAllBlockSizes("ab\r\rcd", {"ab", "cd"});
  // Padding after a terminator that runs over several blocks.
  ExpectSameForAllBlockSizes(std::string("x\x1D") + std::string(40, ' ') + std::string(9, '\0') + "\r\ny\x1D\n",
                             {"x\x1D", "y\x1D"});
}

TEST(RecordSplitter, RecordLongerThanTheBlock) {
  const std::string longRecord(10000, 'r');
  const Split split = SplitAll("a\r\n" + longRecord + "\r\nb", 16, 5);
  EXPECT_EQ(split.records, (Records{"a", longRecord, "b"}));
  EXPECT_EQ(split.offsets, (Offsets{0, 3, 10005}));
}

TEST(RecordSplitter, OffsetsAcrossBlocks) {
  const std::string bytes = "\r\nfirst\r\n\r\nsecond\x1D  \r\nthird";
  for (std::size_t block : {1, 2, 3, 7, 64}) {
    const Split split = SplitAll(bytes, block, 2);
    EXPECT_EQ(split.records, (Records{"first", "second\x1D", "third"})) << block;
    EXPECT_EQ(split.offsets, (Offsets{2, 11, 22})) << block;
  }
}

TEST(RecordSplitter, ReadErrorStopsAndIsReported) {
  const Split split = SplitAll("one\r\ntwo\r\nthree\r\n", 4, 2, 11);
  EXPECT_EQ(split.records, (Records{"one", "two"}));
  EXPECT_TRUE(split.readFailed);
  EXPECT_FALSE(SplitAll("one\r\ntwo").readFailed);
}
