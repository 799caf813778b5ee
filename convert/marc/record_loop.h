#pragma once
// The one walk over a file's records that the conversion, the census and the
// preview share.
#include <string_view>

#include "marc/record_splitter.h"

enum class RecordsEnd { InputEnded, ReadFailed, Stopped };

// Calls onRecord(record) for each record that could be held and onTooLong()
// for each that could not, in file order; either returns false to stop there.
// goOn() is asked after each, and while a too-long record is being skipped:
// false stops too.
template <typename OnRecord, typename OnTooLong, typename GoOn>
RecordsEnd ForEachRecord(RecordSplitter& splitter, OnRecord&& onRecord, OnTooLong&& onTooLong, GoOn&& goOn) {
  std::string_view record;
  for (;;) {
    const RecordSplitter::Result result = splitter.Next(record);
    if (result == RecordSplitter::Result::End) break;
    if (result == RecordSplitter::Result::Record && !onRecord(record)) return RecordsEnd::Stopped;
    if (result == RecordSplitter::Result::TooLong && !onTooLong()) return RecordsEnd::Stopped;
    if (!goOn()) return RecordsEnd::Stopped;
  }
  return splitter.ReadFailed() ? RecordsEnd::ReadFailed : RecordsEnd::InputEnded;
}
