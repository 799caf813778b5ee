// Splitting a byte stream into records, whatever the block and read sizes.
#include <gtest/gtest.h>

#include "marc/record_splitter.h"
#include "test_support.h"

namespace {

// What the splitter gave: each record (or "<too long>") with its offset;
// "*" marks a record cut short by the end of the input.
// Records are long here, so `asLengths` names each by its length. The calls
// are bounded: a splitter that never ends fails the row instead of hanging.
std::vector<std::string> Split(MemoryInput& input, std::size_t block, std::size_t largest = kLargestRecord,
                               bool asLengths = false) {
  RecordSplitter splitter(input, block, largest, block);
  std::vector<std::string> pieces;
  std::string_view record;
  std::size_t calls = 0;
  for (RecordSplitter::Result result; (result = splitter.Next(record)) != RecordSplitter::Result::End;) {
    if (++calls > input.Size() + 16) return {"<endless>"};
    if (result == RecordSplitter::Result::Busy) continue;
    const std::string text = result == RecordSplitter::Result::TooLong ? "<too long>"
                             : asLengths                               ? std::to_string(record.size())
                                                                       : std::string(record);
    pieces.push_back(std::to_string(splitter.RecordOffset()) + ":" + text + (splitter.CutShort() ? "*" : ""));
  }
  return pieces;
}

// A record whose leader gives its length: five digits, then `body` padded to
// the leader's 24 bytes and more, then 0x1D. `skew` makes the length wrong.
std::string Vouched(std::string body, int skew = 0) {
  body.resize(std::max<std::size_t>(body.size(), 30), '.');
  const std::size_t length = 5 + body.size() + 1;
  std::string digits = std::to_string(length + skew);
  return std::string(5 - digits.size(), '0') + digits + body + "\x1D";
}
const std::string kBroken = Vouched("a\r\nb\rc\nd");
const std::string kCrLast = Vouched(std::string(29, 'x') + "\r");  // its last byte but the 0x1D is a CR

struct Framing {
  const char* what;
  std::string input;
  std::vector<std::string> pieces;
};

const Framing kFramings[] = {
    {"CR LF, lone CR, last line without a break", "A\x1D\r\nBB\x1D\rC\x1D", {"0:A\x1D", "4:BB\x1D", "8:C\x1D"}},
    {"no line breaks at all", std::string("A\x1D") + "B\x1D", {"0:A\x1D", "2:B\x1D"}},
    {"a lone LF stays inside a record", "A\nB\r\nC", {"0:A\nB", "5:C*"}},
    {"padding after a record end belongs to none",
     std::string("A\x1D \0\n\r \x1D", 8) + "B",
     {"0:A\x1D", "7:\x1D", "8:B*"}},
    {"empty lines are no records", "\r\n\r\r\nA\x1D\r\n\r\n", {"5:A\x1D"}},
    {"the input ends inside a record", std::string("A\x1D") + "BC", {"0:A\x1D", "2:BC*"}},
    {"a CR ends a record that has no terminator", "AB\rC\x1D", {"0:AB", "3:C\x1D"}},
    {"a CR at the very end", "A\r\nB\r", {"0:A", "3:B"}},
    {"nothing at all", "", {}},
    {"line breaks inside a record whose leader gives its length",
     kBroken + "\r\n" + kBroken + "B\x1D",
     {"0:" + kBroken, "38:" + kBroken, "74:B\x1D"}},
    {"the same with a wrong length split as before",
     Vouched("a\r\nb", 1) + "\r\n" + Vouched("a\nb", -1),
     {"0:00037a", "8:b" + std::string(26, '.') + "\x1D", "38:" + Vouched("a\nb", -1)}},
    {"a CR right before the terminator its length points at", kCrLast + "B\x1D", {"0:" + kCrLast, "36:B\x1D"}},
    {"a length past the end of the input", "99999abc\rd\x1D", {"0:99999abc", "9:d\x1D"}},
};

TEST(Splitter, RecordsAreTheSameWhateverTheBlockAndReadSizes) {
  for (const Framing& framing : kFramings) {
    for (std::size_t block : {std::size_t{1}, std::size_t{2}, std::size_t{3}, framing.input.size(), std::size_t{64},
                              std::size_t{1} << 20}) {
      for (std::size_t chunk : {1, 2, 7, 1 << 20}) {
        MemoryInput input(framing.input, chunk);
        EXPECT_EQ(Split(input, block), framing.pieces) << framing.what << ", block " << block << ", chunk " << chunk;
      }
      // Mapped in windows of the block's size, then read from where the
      // windows end after one or two (the file seems to change size).
      for (std::size_t windows : {std::size_t{1}, std::size_t{2}, SIZE_MAX}) {
        MemoryInput input(framing.input, 3);
        input.windows = windows;
        EXPECT_EQ(Split(input, block), framing.pieces)
            << framing.what << ", window " << block << ", windows " << windows;
      }
    }
  }
}

// A record longer than the largest accepted is named once, and its bytes are
// skipped up to its end without being held: the reads stay small.
TEST(Splitter, TooLongRecordsAreSkippedInFlatMemory) {
  for (std::size_t block : {4, 64, 4096}) {
    for (std::size_t windows : {std::size_t{0}, SIZE_MAX}) {
      MemoryInput input(
          std::string("A\x1D") + std::string(50000, 'x') + "\x1D" + "B\x1D" + std::string(70000, 'y') + "\r\nC\x1D",
          1000);
      input.windows = windows;
      EXPECT_EQ(Split(input, block, 10000), (std::vector<std::string>{"0:A\x1D", "2:<too long>", "50003:B\x1D",
                                                                      "50005:<too long>", "120007:C\x1D"}));
      EXPECT_LE(input.largestRequest, 10000 + 2 * block) << block << (windows != 0 ? ", mapped" : "");
    }
  }
  MemoryInput endless(std::string(40u << 20, '\0'), 1 << 16);  // /dev/zero, as far as the test cares to read
  EXPECT_EQ(Split(endless, 1 << 20), (std::vector<std::string>{"0:<too long>"}));
  EXPECT_LE(endless.largestRequest, kLargestRecord + (2u << 20));
}

// The largest record accepted is accepted however it ends, one byte more
// never: with 0x1D (one of its bytes), CR LF, a lone CR or the end of the
// input; at the start of the input, and each of three in a row.
TEST(Splitter, TheLargestRecordIsTheSameWhateverEndsIt) {
  const std::size_t sizes[] = {kLargestRecord - 1, kLargestRecord, kLargestRecord + 1};
  const struct {
    const char* name;
    std::string end;  // after the record's bytes; a 0x1D ends the last of them instead
  } ends[] = {{"0x1D", ""}, {"CR LF", "\r\n"}, {"CR", "\r"}, {"the end of the input", ""}};
  for (const auto& end : ends) {
    const bool terminated = end.name == std::string("0x1D"), last = end.name == std::string("the end of the input");
    std::string three;
    std::vector<std::string> expected;
    for (std::size_t size : sizes) {
      std::string record(size, 'x');
      if (terminated) record.back() = '\x1D';
      const std::string name = size > kLargestRecord ? "<too long>" : std::to_string(size) + (last ? "*" : "");
      for (std::size_t block : {std::size_t{1} << 20, std::size_t{65537}}) {
        MemoryInput alone(record + end.end, 1 << 20);
        EXPECT_EQ(Split(alone, block, kLargestRecord, true), std::vector<std::string>{"0:" + name})
            << size << " bytes ended by " << end.name << ", block " << block;
      }
      if (last) continue;
      expected.push_back(std::to_string(three.size()) + ":" + name);
      three += record + end.end;
    }
    if (last) continue;
    MemoryInput input(three, 1 << 20);
    EXPECT_EQ(Split(input, 1 << 20, kLargestRecord, true), expected) << "three ended by " << end.name;
  }
}

// A file mapped in windows and cut short under the reader, by another
// program say: inside the window in use (its lost pages read as zero bytes,
// and the run ends with a read error), or past it (the next window finds
// the size changed and the rest is read as far as the file now goes). The
// records given before are whole, and the program lives on.
TEST(Splitter, AMappedFileCutShortUnderTheReaderEndsTheRecords) {
  const std::string record = Vouched(std::string(1000, 'r'));
  constexpr std::size_t kRecords = 600, kWindow = 64 << 10;
  const struct {
    const char* where;
    std::size_t keptBytes;  // the file's size after the cut
    bool readFails;
  } cuts[] = {
      {"inside the window in use", 40 << 10, true},
      {"past it", 300 << 10, false},
  };
  for (const auto& cut : cuts) {
    TempFolder folder;
    const std::string path = folder.File("records.iso");
    std::string bytes;
    for (std::size_t i = 0; i < kRecords; ++i) bytes += record + "\r\n";
    WriteBytes(path, bytes);
    FileError error;
    const std::unique_ptr<InputFile> input = LocalFileSystem().OpenForReading(path, error);
    ASSERT_TRUE(input) << cut.where;
    RecordSplitter splitter(*input, 4096, kLargestRecord, kWindow);
    std::string_view given;
    ASSERT_EQ(splitter.Next(given), RecordSplitter::Result::Record);
#ifdef _WIN32
    // The system refuses to shorten a file while it is mapped.
    std::error_code refused;
    std::filesystem::resize_file(std::filesystem::u8path(path), cut.keptBytes, refused);
    EXPECT_TRUE(refused) << cut.where;
    continue;
#endif
    std::filesystem::resize_file(std::filesystem::u8path(path), cut.keptBytes);
    std::size_t whole = 1;
    RecordSplitter::Result result;
    while ((result = splitter.Next(given)) != RecordSplitter::Result::End) {
      if (result == RecordSplitter::Result::Record && given == record) ++whole;
    }
    const std::size_t before = cut.keptBytes / (record.size() + 2);
    EXPECT_GE(whole, before) << cut.where;
    EXPECT_LE(whole, before + 1) << cut.where;
    EXPECT_EQ(splitter.ReadFailed(), cut.readFails) << cut.where;
  }
}

}  // namespace
