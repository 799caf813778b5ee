#pragma once
// A value of a record as a short sample for a person to look at: the
// beginning of it, in UTF-8 whatever the record's encoding.
#include <cstddef>
#include <string>
#include <string_view>

#include "text/recoder.h"
#include "text/text_encoding.h"

constexpr std::size_t kSampleLength = 60;  // characters, "…" included

// The value (bytes of a record in encoding) in UTF-8 through toUtf8, cut
// to kSampleLength characters, never inside one, with "…" at the end when
// cut. Subfield delimiters show as "$", field terminators are dropped, and
// other control characters become blanks, so that a sample fits on one line
// and in one cell. Bytes that are no character become U+FFFD.
std::string SampleText(std::string_view value, TextEncoding encoding, Recoder& toUtf8);

// Joins next (a SampleText) to sample (a SampleText, or samples joined so
// far) with separator between them, cut as SampleText cuts. True when cut:
// nothing joined after it would show.
bool JoinSample(std::string& sample, std::string_view separator, std::string_view next);
