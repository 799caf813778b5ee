// Outputs written beside their target and put in its place at the end: the
// target is never half written, and stays as it was until then. What the
// user had is kept: who may read the file, its read-only mark, the link that
// leads to it; and a run killed on the way leaves nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "win32_handles.h"
#include "win32_text.h"
// Where the program keeps a temporary beside its target.
#define TEMPORARY_PREFIX "~"
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#define TEMPORARY_PREFIX "."
#endif

namespace {

namespace fs = std::filesystem;

// The names in the folder, sorted: a file's with its content, a link's with
// the name it holds, and on Windows a hidden file's marked so.
std::string Listing(const TempFolder& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(fs::u8path(folder.File("")))) {
    std::string line = entry.path().filename().u8string();
    if (entry.is_symlink()) {
      line += "->" + fs::read_symlink(entry.path()).u8string();
    } else {
      line += "=" + ReadBytes(entry.path().u8string());
    }
#ifdef _WIN32
    if ((GetFileAttributesW(entry.path().c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0) line += "(hidden)";
#endif
    entries.push_back(line);
  }
  std::sort(entries.begin(), entries.end());
  std::string listing;
  for (const std::string& line : entries) listing += line + " ";
  return listing;
}

// A run that the system kills while it writes a replacement of target: it
// has no chance to clear anything away.
[[noreturn]] void WriteAndGetKilled(const std::string& target) {
  FileError error;
  const std::unique_ptr<OutputFile> output = LocalFileSystem().OpenReplacement(target, true, error);
  if (output) output->Write("killed", 6);
#ifdef _WIN32
  TerminateProcess(GetCurrentProcess(), 9);
#else
  raise(SIGKILL);
#endif
  std::abort();
}

#ifdef _WIN32
// Set for this test program run again as a run to be killed: the target it writes.
constexpr wchar_t kKilledWriter[] = L"QUIRNEL_KILLED_WRITER";

void KillAWriter(const std::string& target) {
  std::wstring program(32768, L'\0');
  program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
  std::wstring command = L"\"" + program + L"\" --gtest_filter=Replacement.TheTargetIsWholeOrAsItWas";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  win32::ProcessInformation child;
  SetEnvironmentVariableW(kKilledWriter, Widen(target).c_str());
  const BOOL started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, child.Put());
  SetEnvironmentVariableW(kKilledWriter, nullptr);
  ASSERT_TRUE(started);
  ASSERT_EQ(WaitForSingleObject(child.Get().hProcess, 60000), WAIT_OBJECT_0);
  DWORD status = 0;
  EXPECT_TRUE(GetExitCodeProcess(child.Get().hProcess, &status) && status == 9);
}
#else
void KillAWriter(const std::string& target) {
  const pid_t child = fork();
  if (child == 0) WriteAndGetKilled(target);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}
#endif

// What else happens to the target, and when.
enum class Event {
  None,
  HeldAtOpen,          // another run holds it when the replacement is opened
  TakenMeanwhile,      // another run opens it while the replacement is written
  WrittenMeanwhile,    // another program writes "theirs" into it meanwhile
  ReadOnlyMeanwhile,   // it is made read-only meanwhile
  Discarded,           // the replacement is discarded instead of closed
  WriterKilledBefore,  // a run that replaced it was killed as it wrote
  LeftoversBefore,     // files lie beside it, one named as its temporaries are
};

constexpr fs::perms kAsMade = fs::perms::unknown;
constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
// The folder's listings after most runs.
const std::string kOld = "目标.xlsx=old ", kNew = "目标.xlsx=new ", kLinked = "目标.xlsx->真的.xlsx 真的.xlsx=new ";
const std::string kLeftover = TEMPORARY_PREFIX "目标.xlsx.备份.tmp";  // named as a temporary, but the user's

TEST(Replacement, TheTargetIsWholeOrAsItWas) {
#ifdef _WIN32
  if (const wchar_t* target = _wgetenv(kKilledWriter)) WriteAndGetKilled(Narrow(target));
#endif
  using Kind = FileError::Kind;
  const struct {
    const char* what;
    const char* before;  // the content of the file the target names, or nullptr for none
    bool replace;
    Event event;
    Kind openError, closeError;
    std::string after;             // the folder's listing
    fs::perms mode = kAsMade;      // the file's before, and still its after the run
    const char* linkTo = nullptr;  // the target is a link to this name, or nullptr for the file itself
  } cases[] = {
      {"a new file", nullptr, false, Event::None, {}, {}, kNew},
      {"a file replaced", "old", true, Event::None, {}, {}, kNew},
      {"a file not to be replaced", "old", false, Event::None, Kind::Exists, {}, kOld},
      {"a file that appears meanwhile", nullptr, false, Event::WrittenMeanwhile, {}, Kind::Exists, "目标.xlsx=theirs "},
      {"a file another run holds", "old", true, Event::HeldAtOpen, Kind::InUse, {}, kOld},
      {"a file another run takes meanwhile", "old", true, Event::TakenMeanwhile, {}, Kind::InUse, kOld},
      {"a new file discarded", nullptr, false, Event::Discarded, {}, {}, ""},
      {"a replacement discarded", "old", true, Event::Discarded, {}, {}, kOld},
      {"a read-only file", "old", true, Event::None, Kind::ReadOnlyFile, {}, kOld, kReadOnly},
      {"a file made read-only meanwhile", "old", true, Event::ReadOnlyMeanwhile, {}, Kind::ReadOnlyFile, kOld},
      {"a run killed as it wrote", "old", true, Event::WriterKilledBefore, {}, {}, kNew},
      {"what killed runs left", "old", true, Event::LeftoversBefore, {}, {}, kLeftover + "=mine " + kNew},
#ifndef _WIN32
      {"a file only its owner may read", "old", true, Event::None, {}, {}, kNew, kOwnerOnly},
      {"a link", "old", true, Event::None, {}, {}, kLinked, kAsMade, "真的.xlsx"},
      {"a link to no file yet", nullptr, false, Event::None, {}, {}, kLinked, kAsMade, "真的.xlsx"},
#endif
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string target = folder.File("目标.xlsx");
    const std::string named = c.linkTo != nullptr ? folder.File(c.linkTo) : target;
    if (c.linkTo != nullptr) fs::create_symlink(fs::u8path(c.linkTo), fs::u8path(target));
    if (c.before != nullptr) WriteBytes(named, c.before);
    if (c.mode != kAsMade) fs::permissions(fs::u8path(named), c.mode);
    if (c.event == Event::WriterKilledBefore) {
      const std::string listing = Listing(folder);
      KillAWriter(target);
      EXPECT_EQ(Listing(folder), listing) << c.what << ": the killed run left nothing";
    }
    if (c.event == Event::LeftoversBefore) {
      WriteBytes(folder.File(TEMPORARY_PREFIX "目标.xlsx.4321-0.tmp"), "left");
      WriteBytes(folder.File(kLeftover), "mine");
    }
    FileError error;
    std::unique_ptr<OutputFile> held;
    if (c.event == Event::HeldAtOpen) held = LocalFileSystem().OpenOutput(target, OutputMode::Append, error);
    std::unique_ptr<OutputFile> output = LocalFileSystem().OpenReplacement(target, c.replace, error);
    EXPECT_EQ(error.kind, c.openError) << c.what;
    if (output) {
      EXPECT_TRUE(output->Write("new", 3)) << c.what;
      if (c.event == Event::WrittenMeanwhile) WriteBytes(target, "theirs");
      if (c.event == Event::ReadOnlyMeanwhile) fs::permissions(fs::u8path(target), kReadOnly);
      if (c.event == Event::TakenMeanwhile) held = LocalFileSystem().OpenOutput(target, OutputMode::Append, error);
      EXPECT_NE(ReadBytes(target), "new") << c.what << ": the target is not touched before";
      if (c.event == Event::Discarded) {
        output->Discard();
      } else {
        EXPECT_EQ(output->Close(), c.closeError == Kind::None) << c.what;
        EXPECT_EQ(output->Error().kind, c.closeError) << c.what;
      }
    }
    held.reset();
    EXPECT_EQ(Listing(folder), c.after) << c.what;
    if (c.mode != kAsMade) {
      EXPECT_EQ(fs::status(fs::u8path(named)).permissions(), c.mode) << c.what;
    }
    // Windows deletes no read-only file, and the folder goes at the end.
    std::error_code ignored;
    fs::permissions(fs::u8path(named), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
}

}  // namespace
