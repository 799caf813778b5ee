#pragma once
// The census of a record file as the text marc2tab prints: a header line,
// one line per row of the census (code, name, records, share of records,
// occurrences, whether it repeats, sample), then how many records were read.
//
// Cells are separated by tabs, so that the text pastes into a spreadsheet
// one cell each; a column whose cells can be wider than a tab stop is filled
// with blanks to the same stop, so that it lines up in a terminal too. UTF-8,
// lines ended by "\n".
#include <string>

#include "app/messages.h"
#include "census/census.h"
#include "cli_texts.h"

std::string CensusReport(const Census& census, const Messages& messages, const CliTexts& texts);
