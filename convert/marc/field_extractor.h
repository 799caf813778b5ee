#pragma once
// The values of a run's columns in one record: the first matching subfield,
// a whole field (a control field as it stands, a data field with its
// subfield delimiters shown as '$'), the record type's name for "000?", the
// record's number for "000#", or every occurrence for a joined code
// ("701a*"); characters N to M of each for "100a/9-12".
//
// The view's table of the directory is walked once per record, each tag
// found by its number in a table of the wanted ones, and every field that a
// column asks for is read at most once, in one pass for all the codes of its
// tag: 200a, 200f and 200g share one reading of the 200 field. Fields are
// read only until every code of their tag has its value. Entries that point
// at the same bytes again, or fields that overlap until together they are
// longer than the record, are not read again: time and memory per record stay
// in proportion to the record and the columns, whatever its directory says.
//
// Probes are columns that are never written: spellings a column was likely
// meant to be ("200a" for "200A"), read only while fields of their tag are
// read anyway, or until StopProbing.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "marc/field_code.h"
#include "marc/field_data.h"
#include "marc/record_type.h"
#include "marc/record_view.h"
#include "text/text_encoding.h"

class FieldExtractor {
 public:
  // The probes' columns follow the codes' ones.
  FieldExtractor(std::vector<FieldCode> codes, const RecordTypeNames& typeNames, std::vector<FieldCode> probes = {});

  // Reads the fields the columns ask for; the view and its record must
  // outlive the values taken from it (until the next Read). number is the
  // record's in its file, for "000#".
  void Read(const RecordView& view, std::int64_t number = 1);

  const std::vector<FieldCode>& Codes() const { return codes_; }
  std::size_t Columns() const { return columns_; }
  bool IsJoined(std::size_t column) const { return joined_[column] != 0; }
  // Values already in the table's encoding (record types) or in ASCII
  // (record numbers).
  bool NeedsNoRecoding(std::size_t column) const {
    return codes_[column].kind == FieldCode::Kind::RecordType || codes_[column].kind == FieldCode::Kind::RecordNumber;
  }
  // Whether a probe (counted from 0) found a value in this record.
  bool ProbeFound(std::size_t probe) const;
  // From the next record on, the probe is read no more than any other
  // column needs its fields read.
  void StopProbing(std::size_t probe);

  // The value of a column, bytes of the record with 0x1E deleted (tabs still
  // in it): "" for every kind of absence. False when the record cannot be
  // read, or the first matching directory entry that is needed has an
  // unusable Length or Start. (A bool and an out parameter: this runs for
  // every cell.) Not for joined columns.
  bool Value(std::size_t column, std::string_view& value) const {
    const std::int32_t want = wantOfColumn_[column];
    if (want < 0 || !readable_) return OtherValue(column, value);
    const WantState& state = wantStates_[static_cast<std::size_t>(want)];
    value = state.value;
    return !state.failed;
  }
  // Every non-empty occurrence of a joined column, in order.
  const std::vector<std::string_view>& Occurrences(std::size_t column) const;

  // What Read found out about the record.
  TextEncoding Encoding() const { return decision_.encoding; }
  const EncodingDecision& Decision() const { return decision_; }
  // The wanted fields overlapped until they were longer than the record
  // together; the ones after that point were not read.
  bool FieldsOverlap() const { return overlap_; }

 private:
  // How a want takes a value: the first one, every one, or with positions
  // or as a probe, which is the slower way.
  enum class Giving : std::uint8_t { First, Joined, Other };
  // What a want takes of a field.
  enum class Shape : std::uint8_t {
    Subfield,
    AsItStands,  // a control field
    Shown,       // a data field, 0x1F shown as '$'
  };
  // One distinct thing the columns ask of a tag: a subfield code (or the
  // whole field), the first occurrence or every one, all characters or some.
  struct Want {
    std::int32_t slot = -1;
    std::int32_t joinedIndex = -1;
    std::int32_t nextWithCode = -1;  // another want of the slot with the same ASCII code
    std::int32_t probeUsers = 0;     // probe columns still reading it
    FieldCode::Positions positions;
    Shape shape = Shape::Subfield;
    bool joined = false;
    bool probe = false;
    bool hasPositions = false;
    Giving giving = Giving::First;
  };
  struct WantState {
    bool done = false;
    bool failed = false;
    std::string_view value;
  };
  using KeyedWants = std::vector<std::pair<std::uint64_t, std::int32_t>>;
  // A distinct tag that some column asks for.
  struct Slot {
    std::vector<std::int32_t> wants;
    std::array<std::int32_t, 128> byAsciiCode;  // the first want of each ASCII subfield code, or -1
    KeyedWants byKeyGbk;                        // sorted, for codes of more than one byte
    KeyedWants byKeyUtf8;
    std::vector<std::int32_t> wholeWants;  // wants that take the whole field
    bool hasSubfieldWants = false;
    bool subfieldsOnly = true;  // no want takes the field whole, as for nearly every tag
    bool hasJoined = false;
    bool shown = false;  // some want takes the field with '$' for 0x1F
  };
  // A directory entry with a wanted tag, linked to the next one of its slot.
  struct Found {
    std::int32_t entry;
    std::int32_t next;
  };

  // The wants made so far, by slot, shape, joined, probe, keys and positions.
  using KnownWants = std::map<
      std::tuple<std::int32_t, Shape, bool, bool, std::uint64_t, std::uint64_t, bool, std::uint32_t, std::uint32_t>,
      std::int32_t>;

  bool OtherValue(std::size_t column, std::string_view& value) const;
  std::int32_t AddWant(const FieldCode& code, bool probe, KnownWants& known);
  std::int32_t NewSlot(const std::string& tag);
  // The subfield code's bytes in each encoding, see CodeKey.
  void AddCodeOf(Slot& owner, std::int32_t want, std::uint64_t keyGbk, std::uint64_t keyUtf8);
  // The slot of a tag of a column, or -1.
  std::int32_t SlotOfTag(std::string_view tag) const {
    const int number = field_data::NumericTag(tag);
    return number >= 0 ? slotOfTag_[static_cast<std::size_t>(number)] : SlotOfOtherTag(tag);
  }
  // The slot of a directory entry's tag, or -1: one look in a table, as
  // long as no column asks for a tag that is not three digits.
  std::int32_t SlotOfEntry(std::size_t entry) const {
    const std::int32_t slot = slotOfTag_[view_->TagNumber(entry)];
    return slot != kAmongOtherTags ? slot : SlotOfOtherTag(view_->Tag(entry));
  }
  std::int32_t SlotOfOtherTag(std::string_view tag) const;
  void WalkDirectory();
  void DecideEncoding();
  void ReadSlot(std::int32_t slot);
  void FailPending(std::int32_t slot);
  void TakeWhole(std::int32_t slot, std::string_view data);
  void TakeSubfields(std::int32_t slot, std::string_view data);
  void TakeOtherCode(std::int32_t slot, std::string_view piece);
  // Runs for nearly every subfield a column asks for, so in line: the wants
  // with positions, and probes, go another way.
  void Give(std::int32_t want, std::string_view value) {
    const Want& wanted = wants_[static_cast<std::size_t>(want)];
    if (wanted.giving == Giving::First) {
      WantState& state = wantStates_[static_cast<std::size_t>(want)];
      if (state.done) return;
      state.done = true;
      state.value = value;
      --pending_[static_cast<std::size_t>(wanted.slot)];
    } else if (wanted.giving == Giving::Joined) {
      if (!value.empty()) occurrences_[static_cast<std::size_t>(wanted.joinedIndex)].push_back(value);
    } else {
      GiveOther(want, value);
    }
  }
  void GiveOther(std::int32_t want, std::string_view value);
  std::string_view Shown(std::string_view data);
  bool Active(std::int32_t slot) const {
    return pending_[static_cast<std::size_t>(slot)] > 0 || keepReading_[static_cast<std::size_t>(slot)] > 0;
  }

  std::vector<FieldCode> codes_;  // the columns', then the probes'
  std::size_t columns_ = 0;
  const RecordTypeNames& typeNames_;
  std::vector<std::int32_t> wantOfColumn_;  // -1 for columns that read no field
  std::vector<char> joined_;                // per column
  std::vector<Want> wants_;
  std::vector<Slot> slots_;
  std::vector<std::int32_t> firstOccurrences_;  // per slot: wants that stop at their first value
  std::vector<std::int32_t> keepReading_;       // per slot: joined wants, and probes not stopped
  // "000".."999", then the other tags (RecordView::kOtherTag) -> slot, -1 if not wanted.
  std::array<std::int32_t, RecordView::kOtherTag + 1> slotOfTag_;
  static constexpr std::int32_t kAmongOtherTags = -2;           // the slot of an other tag, some of which are wanted
  std::map<std::string, std::int32_t, std::less<>> otherTags_;  // tags that are not three digits
  std::int32_t joinedCount_ = 0;
  bool anyShown_ = false;        // some column takes a data field whole
  std::size_t columnWants_ = 0;  // the wants of the columns, before the probes' ones
  std::size_t probing_ = 0;      // probes' wants not stopped

  // The record read last.
  const RecordView* view_ = nullptr;
  EncodingDecision decision_;
  bool readable_ = false;  // the record's directory could be read
  bool overlap_ = false;
  std::size_t budget_ = 0;  // field bytes that may still be read
  std::vector<WantState> wantStates_;
  std::vector<std::int32_t> pending_;  // per slot: first-occurrence wants still without a value
  std::vector<std::int32_t> first_;    // per slot: its first entry in found_, or -1
  std::vector<std::int32_t> last_;
  std::vector<Found> found_;
  std::string scratch100_;
  std::vector<std::vector<std::string_view>> occurrences_;
  std::string scratch_;            // cleaned copies of fields with stray terminators inside
  std::string shown_;              // fields with '$' for 0x1F
  bool numbered_ = false;          // some column asks for the record's number
  std::array<char, 24> number_{};  // the record's number in digits
  std::size_t numberLength_ = 0;
};
