// The ZIP container: what goes in comes out, read by our own reader and by
// Info-ZIP's unzip, in the ZIP64 form too; the same bytes whatever the thread
// and the write sizes; and a failing sink stops it cleanly.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <random>

#include "memory_sink.h"
#include "test_support.h"
#include "xlsx_reader.h"
#include "zip_writer.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string Repeated(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// Writes the entries `piece` bytes at a time.
std::string Zip(const Entries& entries, ZipOptions options, std::size_t piece = std::string::npos) {
  MemorySink sink;
  ZipWriter zip(sink, options);
  for (const auto& [name, data] : entries) {
    EXPECT_TRUE(zip.BeginEntry(name));
    for (std::size_t at = 0; at < data.size(); at += piece) {
      EXPECT_TRUE(zip.Write(std::string_view(data).substr(at, piece)));
    }
    EXPECT_TRUE(zip.EndEntry());
  }
  EXPECT_TRUE(zip.Finish());
  return sink.bytes;
}

#ifdef QUIRNEL_UNZIP
// Info-ZIP's own test of every entry's data and CRC.
bool UnzipAccepts(const std::string& zip) {
  const TempFolder folder;
  const std::string path = folder.File("test.zip");
  WriteBytes(path, zip);
  return std::system((std::string(QUIRNEL_UNZIP) + " -tqq '" + path + "'").c_str()) == 0;
}
#endif

struct Contents {
  const char* what;
  Entries entries;
};

const Contents kContents[] = {
    {"no entries", {}},
    {"an empty entry", {{"empty.xml", ""}}},
    {"small entries", {{"a.xml", "<a/>"}, {"xl/b.xml", "text\r\n"}}},
    // Bigger than a chunk and than the output buffer, and deflate cannot shrink it.
    {"incompressible data", {{"random.bin", RandomBytes(700 * 1024, 1)}}},
    {"many chunks", {{"rows.xml", Repeated("<row r=\"1\"><c><is><t>题名</t></is></c></row>", 100000)}}},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Contents& contents, std::ostream* out) { *out << contents.what; }

class ZipContentsTest : public ::testing::TestWithParam<std::tuple<Contents, bool, bool>> {};

TEST_P(ZipContentsTest, ReadBack) {
  const auto& [contents, background, allZip64] = GetParam();
  ZipOptions options;
  options.compressInBackground = background;
  if (allZip64) options.zip64From = 0;  // every size and offset in its ZIP64 form
  const std::string zip = Zip(contents.entries, options);
  const ZipContents read = ReadZip(zip);
  ASSERT_EQ(read.names.size(), contents.entries.size());
  for (std::size_t i = 0; i < contents.entries.size(); ++i) {
    EXPECT_EQ(read.names[i], contents.entries[i].first);
    EXPECT_TRUE(read.entries.at(read.names[i]) == contents.entries[i].second) << read.names[i];
  }
  EXPECT_EQ(read.zip64End, allZip64);
  EXPECT_EQ(read.zip64Entries.size(), allZip64 ? contents.entries.size() : 0);
#ifdef QUIRNEL_UNZIP
  if (!contents.entries.empty()) {
    EXPECT_TRUE(UnzipAccepts(zip));
  }
#endif
}

INSTANTIATE_TEST_SUITE_P(Zip, ZipContentsTest,
                         ::testing::Combine(::testing::ValuesIn(kContents), ::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                           std::string name = std::string(std::get<0>(info.param).what) +
                                              (std::get<1>(info.param) ? "_background" : "_inline") +
                                              (std::get<2>(info.param) ? "_zip64" : "");
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// Only an entry or an offset past the threshold takes the ZIP64 form: the
// entry after a big one gets a 64-bit offset, the big one 64-bit sizes.
TEST(Zip, Zip64WhereSizesOrOffsetsPassTheThreshold) {
  ZipOptions options;
  options.zip64From = 100000;
  const std::string big = RandomBytes(150000, 2);
  const std::string zip = Zip({{"small.xml", "<a/>"}, {"big.bin", big}, {"after.xml", "<b/>"}}, options);
  const ZipContents read = ReadZip(zip);
  EXPECT_EQ(read.zip64Entries, (std::vector<std::string>{"big.bin", "after.xml"}));
  EXPECT_TRUE(read.zip64End);
  EXPECT_TRUE(read.entries.at("big.bin") == big);
#ifdef QUIRNEL_UNZIP
  EXPECT_TRUE(UnzipAccepts(zip));
#endif
}

// More entries than the end record's 16-bit count holds.
TEST(Zip, MoreEntriesThanTheEndRecordCounts) {
  Entries entries;
  for (int i = 0; i < 0x10000; ++i) entries.emplace_back("e" + std::to_string(i), "");
  ZipOptions options;
  options.compressInBackground = false;
  const ZipContents read = ReadZip(Zip(entries, options));
  EXPECT_EQ(read.names.size(), entries.size());
  EXPECT_TRUE(read.zip64End);
}

// zlib gets the same chunks whatever the thread and however the caller
// writes, so every build and every run writes the same bytes.
TEST(Zip, SameBytesWhateverTheThreadAndWriteSizes) {
  const Entries entries = {{"text.xml", Repeated("<row>一二三 abc</row>", 60000)},
                           {"random.bin", RandomBytes(300000, 3)}};
  ZipOptions inline_;
  inline_.compressInBackground = false;
  ZipOptions background;
  background.compressInBackground = true;
  const std::string expected = Zip(entries, inline_);
  EXPECT_TRUE(Zip(entries, background) == expected);
  EXPECT_TRUE(Zip(entries, background, 1000) == expected);
  EXPECT_TRUE(Zip(entries, inline_, 7) == expected);
}

// A sink that fails anywhere (in a header, in the data, in the directory)
// makes the writer say so, and it writes nothing more.
TEST(Zip, FailingSink) {
  const Entries entries = {{"a.xml", Repeated("abc", 1000)}, {"b.bin", RandomBytes(600 * 1024, 4)}};
  ZipOptions whole;
  whole.compressInBackground = false;
  const std::size_t size = Zip(entries, whole).size();
  // In the first local header, in the data, in the directory, in the end record.
  const std::size_t failures[] = {0, 10, 200, 300 * 1024, size - 120, size - 10, size - 1};
  for (const bool background : {false, true}) {
    for (const std::size_t failAt : failures) {
      SCOPED_TRACE("background " + std::to_string(background) + ", fail at " + std::to_string(failAt));
      MemorySink sink(failAt);
      ZipOptions options;
      options.compressInBackground = background;
      ZipWriter zip(sink, options);
      bool ok = true;
      for (const auto& [name, data] : entries) {
        ok = zip.BeginEntry(name) && ok;
        ok = zip.Write(data) && ok;
        ok = zip.EndEntry() && ok;
      }
      EXPECT_FALSE(zip.Finish());
      EXPECT_TRUE(zip.Failed());
      EXPECT_EQ(ok, failAt >= size - 120) << "entries fail only when the sink does";
      EXPECT_EQ(sink.writesAfterFailure, 0);
    }
  }
}

// An exception from the sink on the second thread reaches the caller.
TEST(Zip, SinkThrowingOnTheSecondThread) {
  MemorySink sink(100, true);
  ZipWriter zip(sink);
  ASSERT_TRUE(zip.BeginEntry("random.bin"));
  EXPECT_THROW(
      {
        zip.Write(RandomBytes(1 << 20, 5));
        zip.EndEntry();
      },
      std::bad_alloc);
}

}  // namespace
