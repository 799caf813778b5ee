#pragma once
// A census of a record file: which fields and subfields it holds, in how
// many records, how often, and what a value of each looks like, so that a
// cataloguer can choose columns without knowing the codes by heart. One
// pass over the file, in memory that does not grow with it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "file_system.h"
#include "report/failure.h"

struct CensusEntry {
  enum class Kind {
    RecordType,      // the leader's type of record, which every readable record has
    ControlField,    // 001-009, counted as whole fields
    DataField,       // another tag, counted as a field (its subfields follow it)
    Subfield,        // one subfield code of the data field before it
    OtherSubfields,  // the codes of a tag beyond the first kCensusCodesPerTag, together
    OtherTags,       // tags that are not three digits, beyond the first kCensusOtherTags, together
  };
  Kind kind = Kind::DataField;
  // The field-list item that gives this column ("200a", "001a", "000?"), or
  // "" when none does: a data field as a whole, the control fields the
  // conversion reads as data fields (002-004, 006-009), codes that cannot be
  // typed into the list, and the two "other" rows.
  std::string item;
  std::string tag;               // UTF-8; "" for the record type and other tags
  std::string subfield;          // UTF-8, only for a subfield (may come from a two-byte GBK code)
  std::int64_t records = 0;      // records that have it at least once
  std::int64_t occurrences = 0;  // in all records
  // The first non-empty value, in UTF-8 whatever the record's encoding
  // (bytes that are no character become U+FFFD), cut as SampleText cuts it:
  // at most 60 characters, "…" included when cut.
  std::string sample;
  // The non-empty values of the record that gave the sample, joined with
  // "; " as the conversion joins every occurrence, and cut as a sample is:
  // what a column of every occurrence looks like.
  std::string joinedSample;

  bool Repeats() const { return occurrences > records; }
};

struct Census {
  enum class Outcome { Completed, Stopped, Failed };
  Outcome outcome = Outcome::Failed;
  std::int64_t records = 0;     // every record of the file, the malformed ones included
  std::int64_t malformed = 0;   // refused, unreadable or too long: counted, nothing of them read
  std::int64_t partlyRead = 0;  // read, but some fields could not be: a bad directory entry,
                                // fields overlapping beyond the record's size, the file ending inside it
  // The record type, then tag by tag (in byte order) each field followed by
  // its subfields (letters, digits, then any other code) and its other
  // codes, then the other tags. Rows nobody has are left out.
  std::vector<CensusEntry> entries;
  Failure failure;  // why it failed

  // The records that shares are of: those that could be read at all.
  std::int64_t Readable() const { return records - malformed; }
  // The records with anything wrong, as a conversion of the file counts them.
  std::int64_t Faulty() const { return malformed + partlyRead; }
};

// Every tag "000".."999" has rows of its own; of the tags that are not three
// digits only the first few do, for a damaged file can hold any number.
constexpr std::size_t kCensusCodesPerTag = 64;
constexpr std::size_t kCensusOtherTags = 100;

// After each batch of records counted (a few thousand records, or about a
// megabyte), and while a too-long record is skipped: the records so far and
// the input bytes consumed. Returning false stops the census, which then
// holds every record up to the end of that batch.
using CensusProgress = std::function<bool(std::int64_t records, std::uint64_t bytesRead)>;

// The census of the record file at path (UTF-8). A census that stops or
// fails still holds what it counted until then. The records are counted on
// `threads` threads: 0 for one per core, 1 for none but the caller's; the
// census is the same for any number.
Census TakeCensus(FileSystem& files, const std::string& path, const CensusProgress& progress = nullptr,
                  unsigned threads = 0);
// The census of several files together, one after the other; the records
// and bytes of progress count over all of them.
Census TakeCensus(FileSystem& files, const std::vector<std::string>& paths, const CensusProgress& progress = nullptr,
                  unsigned threads = 0);
