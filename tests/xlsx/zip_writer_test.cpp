// The ZIP container: what goes in comes out, read by our own reader and by
// Info-ZIP's unzip, in the ZIP64 form too; the same bytes whatever the thread
// and the write sizes; and a failing sink stops it cleanly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "hard_values.h"
#include "memory_sink.h"
#include "test_support.h"
#include "work/work_pool.h"
#include "xlsx/zip_writer.h"
#include "xlsx_reader.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Writes the entries `piece` bytes at a time.
std::string Zip(const Entries& entries, ZipOptions options, std::size_t piece = std::string::npos) {
  MemorySink sink;
  ZipWriter zip(sink, options);
  for (const auto& [name, data] : entries) {
    EXPECT_TRUE(zip.BeginEntry(name));
    for (std::size_t at = 0; at < data.size(); at += piece)
      EXPECT_TRUE(zip.Write(std::string_view(data).substr(at, piece)));
    EXPECT_TRUE(zip.EndEntry());
  }
  EXPECT_TRUE(zip.Finish());
  return sink.bytes;
}

// Info-ZIP's own test of every entry's data and CRC; the Windows build has no unzip.
bool UnzipAccepts([[maybe_unused]] const std::string& zip) {
#ifdef QUIRNEL_UNZIP
  const TempFolder folder;
  WriteBytes(folder.File("test.zip"), zip);
  return std::system((QUIRNEL_UNZIP " -tqq '" + folder.File("test.zip") + "'").c_str()) == 0;
#endif
  return true;
}

TEST(Zip, WhatGoesInComesOut) {
  const Entries contents[] = {
      {},
      {{"empty.xml", ""}},
      {{"a.xml", "<a/>"}, {"xl/b.xml", "text\r\n"}},
      // Bigger than a chunk, and deflate cannot shrink it; many chunks.
      {{"random.bin", RandomBytes(700 * 1024, 1)}},
      {{"rows.xml", Times("<row r=\"1\"><c><is><t>题名</t></is></c></row>", 100000)}},
  };
  WorkPool none(0), one(1), two(2), seven(7);
  const struct {
    const char* name;
    WorkPool* pool;  // null: on the caller's thread
  } deflating[] = {{"on the caller's thread", nullptr},
                   {"on a pool of no threads", &none},
                   {"on one thread", &one},
                   {"on two threads", &two},
                   {"on seven threads", &seven}};
  for (const Entries& entries : contents) {
    for (const bool allZip64 : {false, true}) {
      std::string previous;
      for (const auto& [name, pool] : deflating) {
        SCOPED_TRACE(std::to_string(entries.size()) + " entries " + name +
                     (allZip64 ? ", every size and offset in its ZIP64 form" : ""));
        ZipOptions options;
        options.compressInBackground = pool != nullptr;
        options.pool = pool;
        if (allZip64) options.zip64From = 0;
        const std::string zip = Zip(entries, options);
        const ZipContents read = ReadZip(zip);
        EXPECT_TRUE(read.entries == entries);
        EXPECT_EQ(read.zip64End, allZip64);
        EXPECT_EQ(read.zip64Entries.size(), allZip64 ? entries.size() : 0);
        EXPECT_TRUE(entries.empty() || UnzipAccepts(zip));
        // zlib gets the same chunks whatever the threads and however the
        // caller writes, so every build and every run writes the same bytes.
        EXPECT_TRUE(Zip(entries, options, 1000) == zip && Zip(entries, options, 7) == zip);
        EXPECT_TRUE(pool == nullptr || zip == previous) << "not the bytes written on the caller's thread";
        previous = zip;
      }
    }
  }
}

// Only what passes a limit takes the ZIP64 form: the entry after a big one
// gets a 64-bit offset, the big one 64-bit sizes; more entries than the end
// record's 16-bit count holds need the ZIP64 end record.
TEST(Zip, Zip64WhereSizesOffsetsOrTheCountPassTheirLimit) {
  ZipOptions options;
  options.zip64From = 100000;
  // An entry one byte short of the limit, one at it (both compress to little),
  // one past it, and one written past it.
  const Entries entries = {{"below.xml", std::string(99999, 'x')},
                           {"at.xml", std::string(100000, 'x')},
                           {"small.xml", "<a/>"},
                           {"big.bin", RandomBytes(150000, 2)},
                           {"after.xml", "<b/>"}};
  const std::string zip = Zip(entries, options);
  const ZipContents read = ReadZip(zip);
  EXPECT_EQ(read.zip64Entries, (std::vector<std::string>{"at.xml", "big.bin", "after.xml"}));
  EXPECT_TRUE(read.zip64End);
  EXPECT_TRUE(read.entries == entries);
  EXPECT_TRUE(UnzipAccepts(zip));

  Entries many;
  for (int i = 0; i < 0x10000; ++i) many.emplace_back("e" + std::to_string(i), "");
  options = {};
  options.compressInBackground = false;
  const ZipContents readMany = ReadZip(Zip(many, options));
  EXPECT_EQ(readMany.entries.size(), many.size());
  EXPECT_TRUE(readMany.zip64End);
}

// A sink that fails anywhere (in a header, in the data, in the directory, in
// the end record) makes the writer say so, and it writes nothing more. An
// exception from the sink on the second thread reaches the caller.
TEST(Zip, FailingSink) {
  const Entries entries = {{"a.xml", Times("abc", 1000)}, {"b.bin", RandomBytes(600 * 1024, 4)}};
  ZipOptions whole;
  whole.compressInBackground = false;
  const std::size_t size = Zip(entries, whole).size();
  for (const bool background : {false, true}) {
    for (const std::size_t failAt : {std::size_t{0}, std::size_t{10}, std::size_t{200}, std::size_t{300 * 1024},
                                     size - 120, size - 10, size - 1}) {
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
      EXPECT_FALSE(zip.BeginEntry("more.xml")) << "nothing begins once the sink has failed";
      EXPECT_EQ(ok, failAt >= size - 120) << "entries fail only when the sink does";
      EXPECT_EQ(sink.writesAfterFailure, 0);
    }
  }
  MemorySink throwing(100, true);
  ZipWriter zip(throwing);
  ASSERT_TRUE(zip.BeginEntry("random.bin"));
  EXPECT_THROW((static_cast<void>(zip.Write(RandomBytes(1 << 20, 5))), zip.EndEntry()), std::bad_alloc);
}

}  // namespace
