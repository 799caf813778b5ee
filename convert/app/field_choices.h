#pragma once
// The rows of the field chooser: every code a record file holds, beside the
// items the field list has now, and the list that the ticked rows make. The
// list is the user's: what they typed keeps its place, and only what they
// tick or untick changes it.
#include <string>
#include <vector>

#include "census/census.h"
#include "text/language.h"

struct FieldChoice {
  // The list item the row stands for ("200a", "701a*", "000?", "200" for a
  // field as a whole); "" for a row shown for information only (the other
  // codes, codes no item can name), which cannot be ticked. Items the file
  // lacks have rows too (see FieldChoices), so only a row of the file has an
  // empty item.
  std::string item;
  bool fromFile = true;  // false: the item is only in the list
  std::string code;      // what the code column shows
  std::string name;  // "题名与责任说明 / 正题名" in the language asked for, or "" when the names table has none
  std::string share;  // of the file's records that have it ("98.5%"); "" for an item only in the list
  std::string sample;
  bool ticked = false;
};

// The rows: first each distinct item of the list that the file offers no
// row for (a mistyped code, a code of another file, an empty item), ticked,
// so that it can be unticked, its note naming the code the file has when
// it differs only in letter case or blanks ("200A（文件中有 200a）"); then
// the census's rows in its order, a code or field that repeats (or whose
// every occurrence the list asks for) followed by a row for all its
// occurrences ("701a*", "701*"). A row whose item is in the list starts
// ticked; blanks around an item of the list are no part of it. Names and
// notes are in the language given.
std::vector<FieldChoice> FieldChoices(const Census& census, const std::vector<std::string>& listed,
                                      Language language = Language::Chinese);

// The items the rows make now: the list's own items in their order, those
// whose rows are unticked left out (an item without a row stays), then the
// newly ticked ones in the rows' order.
std::vector<std::string> ChosenItems(const std::vector<std::string>& listed, const std::vector<FieldChoice>& choices);

// The field list's text for the items: joined with ",".
std::string JoinFieldList(const std::vector<std::string>& items);
