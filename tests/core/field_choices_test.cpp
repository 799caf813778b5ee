// The chooser's rows for a file and a list, and the list that ticking and
// unticking them writes back: the user's items keep their place.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/field_choices.h"
#include "census/census.h"
#include "marc/field_list.h"
#include "record_builder.h"
#include "test_support.h"

namespace {

// 701 and its $a repeat; 999 is in no names table; 200 is in every record.
Census CensusOfTwoRecords() {
  TempFolder folder;
  RecordBuilder first, second;
  first.Field("001", "id1").Field("200", "1 " + Sf("a", Gbk("题名")) + Sf("f", Gbk("著者")));
  first.Field("701", " 0" + Sf("a", Gbk("甲")))
      .Field("701", " 0" + Sf("a", Gbk("乙")))
      .Field("999", "  " + Sf("z", "x"));
  second.Field("001", "id2").Field("200", "1 " + Sf("a", Gbk("题名二"))).Field("701", " 0" + Sf("a", Gbk("丙")));
  second.Field("9-9", "  " + Sf("z", "y"));  // a tag no item can name
  WriteBytes(folder.File("records.iso"), first.Build() + second.Build());
  return TakeCensus(LocalFileSystem(), folder.File("records.iso"));
}

}  // namespace

TEST(FieldChoices, TheListsOwnItemsComeFirstAndTheFilesCodesAreTickedAsListed) {
  const Census census = CensusOfTwoRecords();
  ASSERT_EQ(census.outcome, Census::Outcome::Completed);
  // The file's rows, each after the item that ticks it ("" for none). A code
  // that never repeats has a row for all its occurrences only when the list
  // asks for them.
  const struct {
    std::string item, row;
    bool onlyWhenListed;
  } fileRows[] = {
      {"000?", "000?|记录类型|100.0%|文字资料印刷品", false},
      {"001a", "001a|记录标识号|100.0%|id1", false},
      {"200", "200|题名与责任说明|100.0%|1 $a题名$f著者", false},
      {"200*", "200*|题名与责任说明（全部出现）|100.0%|1 $a题名$f著者", true},
      {"200a", "200a|题名与责任说明 / 正题名|100.0%|题名", false},
      {"200f", "200f|题名与责任说明 / 第一责任说明|50.0%|著者", false},
      {"200f*", "200f*|题名与责任说明 / 第一责任说明（全部出现）|50.0%|著者", true},
      {"701", "701|个人名称－等同知识责任|100.0%| 0$a甲", false},
      {"701*", "701*|个人名称－等同知识责任（全部出现）|100.0%| 0$a甲;  0$a乙", false},
      {"701a", "701a|个人名称－等同知识责任 / 款目要素|100.0%|甲", false},
      {"701a*", "701a*|个人名称－等同知识责任 / 款目要素（全部出现）|100.0%|甲; 乙", false},
      {"", "9-9||50.0%|  $zy", false},
      {"9-9z", "9-9z||50.0%|y", false},
      {"999", "999||50.0%|  $zx", false},
      {"999z", "999z||50.0%|x", false},
  };
  const struct {
    const char* list;
    std::vector<std::string> listOnly;  // the rows before the file's
    std::vector<std::string> ticked;    // the file's rows that start ticked
  } cases[] = {
      {"200a", {}, {"200a"}},
      {"200a,701a*,001a", {}, {"001a", "200a", "701a*"}},
      {"200f*", {}, {"200f*"}},
      // Mistakes, codes of other files, an empty item: each once, in the list's order,
      // a code the file has in other letter case or without a blank named.
      {"200A,200a,9999,,200A,606a*,000?,200ab,701A*,2 00a,606",
       {"[x] 200A|||200A（文件中有 200a）", "[x] 9999|||（文件中没有这一项）", "[x] （空项）|||（空列）",
        "[x] 606a*|论题名称主题 / 款目要素（全部出现）||（文件中没有这一项）", "[x] 200ab|||（文件中没有这一项）",
        "[x] 701A*|||701A*（文件中有 701a*）", "[x] 2 00a|||2 00a（文件中有 200a）",
        "[x] 606|论题名称主题||（文件中没有这一项）"},
       {"000?", "200a"}},
      // Whole fields; blanks around an item are no part of it.
      {" 200 ,701*,\r\n999\t", {}, {"200", "701*", "999"}},
      {"", {}, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> expected = c.listOnly, rows;
    for (const auto& [item, row, onlyWhenListed] : fileRows) {
      const bool ticked = std::find(c.ticked.begin(), c.ticked.end(), item) != c.ticked.end();
      if (!onlyWhenListed || ticked) expected.push_back((item.empty() ? "    " : ticked ? "[x] " : "[ ] ") + row);
    }
    // "[x] 200a|题名与责任说明 / 正题名|100.0%|题名"; "[ ]" tickable, "   " not.
    for (const FieldChoice& row : FieldChoices(census, ParseFieldList(c.list))) {
      const std::string box = row.item.empty() && row.fromFile ? "   " : row.ticked ? "[x]" : "[ ]";
      rows.push_back(box + " " + row.code + "|" + row.name + "|" + row.share + "|" + row.sample);
    }
    const std::string difference = FirstDifference(rows, expected);
    EXPECT_TRUE(difference.empty()) << c.list << ": " << difference;
  }
  // A file without a readable record lacks even the record type, whose
  // name still shows beside the item; so do the names of the control
  // fields typed as 001a and 005a.
  const std::vector<FieldChoice> none = FieldChoices(Census{}, ParseFieldList("000?,001a,005a"));
  ASSERT_EQ(none.size(), 3u);
  EXPECT_EQ(none[0].name, "记录类型");
  EXPECT_EQ(none[1].name, "记录标识号");
  EXPECT_EQ(none[2].name, "记录版本标识");
  // In English, the names and the notes too.
  const std::vector<FieldChoice> english = FieldChoices(Census{}, ParseFieldList("200a*,"), Language::English);
  EXPECT_EQ(english[0].name + "|" + english[1].code + "|" + english[1].sample,
            "Title and statement of responsibility / Title proper (all occurrences)|(empty item)|(empty column)");
  EXPECT_EQ(FieldChoices(census, {"200A"}, Language::English)[0].sample, "200A (the file has 200a)");
}

TEST(FieldChoices, TheListWrittenBackKeepsTheUsersItemsAndAddsNewOnesInTheRowsOrder) {
  const Census census = CensusOfTwoRecords();
  const struct {
    const char* what;
    const char* list;
    std::map<std::string, bool> ticks;  // by item
    const char* written;
  } cases[] = {
      {"nothing changed", "200f,200a,9999", {}, "200f,200a,9999"},
      {"unticked in the middle", "200f,200a,001a", {{"200a", false}}, "200f,001a"},
      {"newly ticked: after the list, in the rows' order, not the order of ticking",
       "200f",
       {{"701a*", true}, {"000?", true}, {"701a", true}},
       "200f,000?,701a,701a*"},
      {"items the file lacks stay unless unticked", "9999,200a,200A", {{"9999", false}}, "200a,200A"},
      {"a repeated item goes with its row", "200a,200f,200a", {{"200a", false}}, "200f"},
      {"a repeated item stays repeated", "200a,200f,200a", {}, "200a,200f,200a"},
      {"an empty item stays unless unticked", "200a,,200f", {}, "200a,,200f"},
      {"an empty item unticked", "200a,,200f", {{"", false}}, "200a,200f"},
      {"full-width commas and line breaks become plain commas", "200a，\r\n200f", {}, "200a,200f"},
      {"untick all, tick one", "200a,200f", {{"200a", false}, {"200f", false}, {"999z", true}}, "999z"},
      {"rows for information only tick nothing", "200a", {{"", true}}, "200a"},
      {"a whole field ticked", "200a", {{"200", true}, {"701*", true}}, "200a,200,701*"},
      {"an item with blanks around it goes with its row", " 200f ,200a", {{"200f", false}}, "200a"},
      {"an empty list", "", {{"200a", true}}, "200a"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> listed = ParseFieldList(c.list);
    std::vector<FieldChoice> rows = FieldChoices(census, listed);
    for (FieldChoice& row : rows) {
      const auto tick = c.ticks.find(row.item);
      if (tick != c.ticks.end()) row.ticked = tick->second;
    }
    EXPECT_EQ(JoinFieldList(ChosenItems(listed, rows)), c.written) << c.what;
  }
}
