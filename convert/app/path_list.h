#pragma once
// The input path box's text as a list of paths, and the output's name the
// save dialog proposes. Several paths are written as Explorer's "Copy as
// path" gives them: each in double quotes, separated by blanks. All UTF-8.
#include <string>
#include <vector>

#include "table/table_formats.h"

// The paths of the box's text: each quoted path, and each word outside
// quotes; a text without quotes is one path per line, blanks and all, as a
// single path was always typed. Line breaks count as blanks between quoted
// paths; blanks around a path are no part of it. Empty paths are dropped.
std::vector<std::string> ParsePathList(const std::string& text);

// The box's text for paths: one path as it is, several each in quotes.
std::string JoinPathList(const std::vector<std::string>& paths);

// The output the save dialog proposes: in the first input's folder, the
// input's name with the type's extension ("D:\\data\\book.iso" ->
// "D:\\data\\book.xlsx"); "" without an input.
std::string ProposedOutput(const std::string& firstInput, OutputType type);

// A name with the extension of another type, when the save dialog's type
// changes: a table's extension is replaced, any other kept and the new one
// added ("book.txt" -> "book.xlsx", "book.dat" -> "book.dat.xlsx").
std::string WithExtensionOf(const std::string& path, OutputType type);
