// Outputs written beside their target and put in its place at the end: the
// target is never half written, and stays as it was until then.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "test_support.h"

namespace {

// The names in the folder, sorted, with the target's content.
std::string Listing(const TempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder.File(""))))
    names.push_back(entry.path().filename().u8string());
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names)
    listing += name + (name == "目标.xlsx" ? "=" + ReadBytes(folder.File(name)) : "") + " ";
  return listing;
}

TEST(Replacement, TheTargetIsWholeOrAsItWas) {
  const struct {
    const char* what;
    const char* before;  // the target's content, or nullptr for no target
    bool replace;
    const char* meanwhile;  // written into the target after the open, or nullptr
    bool holdAtOpen, holdAtClose, discard;
    FileError::Kind openError, closeError;
    const char* after;  // the folder's listing
  } cases[] = {
      {"a new file", nullptr, false, nullptr, false, false, false, {}, {}, "目标.xlsx=new "},
      {"a file replaced", "old", true, nullptr, false, false, false, {}, {}, "目标.xlsx=new "},
      {"a file not to be replaced",
       "old",
       false,
       nullptr,
       false,
       false,
       false,
       FileError::Kind::Exists,
       {},
       "目标.xlsx=old "},
      {"a file that appears meanwhile",
       nullptr,
       false,
       "theirs",
       false,
       false,
       false,
       {},
       FileError::Kind::Exists,
       "目标.xlsx=theirs "},
      {"a file another run holds",
       "old",
       true,
       nullptr,
       true,
       false,
       false,
       FileError::Kind::InUse,
       {},
       "目标.xlsx=old "},
      {"a file another run takes meanwhile",
       "old",
       true,
       nullptr,
       false,
       true,
       false,
       {},
       FileError::Kind::InUse,
       "目标.xlsx=old "},
      {"a new file discarded", nullptr, false, nullptr, false, false, true, {}, {}, ""},
      {"a replacement discarded", "old", true, nullptr, false, false, true, {}, {}, "目标.xlsx=old "},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string target = folder.File("目标.xlsx");
    if (c.before != nullptr) WriteBytes(target, c.before);
    FileError error;
    std::unique_ptr<OutputFile> held;
    if (c.holdAtOpen) held = LocalFileSystem().OpenOutput(target, OutputMode::Append, error);
    std::unique_ptr<OutputFile> output = LocalFileSystem().OpenReplacement(target, c.replace, error);
    EXPECT_EQ(error.kind, c.openError) << c.what;
    if (output) {
      EXPECT_TRUE(output->Write("new", 3)) << c.what;
      if (c.meanwhile != nullptr) WriteBytes(target, c.meanwhile);
      if (c.holdAtClose) held = LocalFileSystem().OpenOutput(target, OutputMode::Append, error);
      EXPECT_EQ(Listing(folder).find("=new"), std::string::npos) << c.what << ": the target is not touched before";
      if (c.discard) {
        output->Discard();
      } else {
        EXPECT_EQ(output->Close(), c.closeError == FileError::Kind::None) << c.what;
        EXPECT_EQ(output->Error().kind, c.closeError) << c.what;
      }
    }
    held.reset();
    EXPECT_EQ(Listing(folder), c.after) << c.what;
  }
}

}  // namespace
