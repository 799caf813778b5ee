#pragma once
// What the core's tests share: a folder of their own, file bytes, a scripted
// window that writes down every call, and the calls a run makes, built from
// the program's own message texts.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/messages.h"
#include "app/window_run.h"
#include "file_system.h"

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    do {
      path_ = std::filesystem::temp_directory_path() / ("quirnel-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / std::filesystem::u8path(name)).u8string(); }

 private:
  std::filesystem::path path_;
};

// The text with the folder's path, wherever it occurs, as ".../".
inline std::string WithFolderAsDots(std::string text, const TempFolder& folder) {
  const std::string path = folder.File("");
  for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at + 4)) {
    text.replace(at, path.size(), ".../");
  }
  return text;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The pieces of a table's text between its bars: "a||b" is "a", "", "b".
inline std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> pieces(1);
  for (char c : text) c == '|' ? pieces.emplace_back() : pieces.back() += c;
  return pieces;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(std::filesystem::u8path(path)); }

// The threads the runs of these tests make their rows on: 0 (one per core)
// unless ctest runs them again with another number.
inline unsigned TestThreads() {
  const char* threads = std::getenv("QUIRNEL_TEST_THREADS");
  return threads != nullptr ? static_cast<unsigned>(std::atoi(threads)) : 0;
}

inline std::exception_ptr OutOfMemory() { return std::make_exception_ptr(std::bad_alloc()); }
// Memory that runs short, in the middle of a row too: a request for more than
// this fails (run_test.cpp's operator new sees to it).
inline std::size_t g_largestAllocation = SIZE_MAX;

// Bytes handed out at most `chunk` at a time; after failAfter bytes the
// reads fail, or throw `thrown` when there is one (OutOfMemory(), say).
class MemoryInput : public InputFile {
 public:
  MemoryInput(std::string text, std::size_t chunk, std::size_t failAfter = std::string::npos,
              std::exception_ptr thrown = nullptr)
      : text_(std::move(text)), chunk_(chunk), failAfter_(failAfter), thrown_(std::move(thrown)) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    largestRequest = std::max(largestRequest, size);
    if (at_ >= failAfter_ && thrown_) std::rethrow_exception(thrown_);
    if (at_ >= failAfter_) return error_ = {FileError::Kind::ReadWrite, 5}, 0;
    const std::size_t n = std::min({size, chunk_, text_.size() - at_, failAfter_ - at_});
    std::memcpy(buffer, text_.data() + at_, n);
    if (counted != nullptr) *counted += n;
    return at_ += n, n;
  }
  FileError Error() const override { return error_; }
  std::uint64_t Size() const override { return text_.size(); }

  // Windows only when `windows` is set, and only that many: then the file
  // seems to change size, and reading goes on from the end of the last one.
  // Each window is a copy of its own, so that a view kept past the next call
  // is caught.
  std::optional<std::string_view> MapWindow(std::uint64_t offset, std::size_t size) override {
    if (windows == 0) return std::nullopt;
    --windows;
    largestRequest = std::max(largestRequest, size);
    const std::size_t from = std::min<std::size_t>(offset, text_.size());
    const std::size_t n = std::min(size, text_.size() - from);
    window_ = std::make_unique<char[]>(n + 1);
    std::memcpy(window_.get(), text_.data() + from, n);
    at_ = std::max(at_, from + n);
    return std::string_view(window_.get(), n);
  }

  std::size_t largestRequest = 0;
  std::size_t* counted = nullptr;  // adds up the bytes read, when set
  std::size_t windows = 0;         // windows still to give; SIZE_MAX: always

 private:
  std::unique_ptr<char[]> window_;
  std::string text_;
  std::size_t chunk_, failAfter_;
  std::exception_ptr thrown_;
  std::size_t at_ = 0;
  FileError error_;
};

// An output whose writes fail as a full disk's do once `room` bytes are in:
// the bytes that fit are written, then the write fails. Or one whose bytes
// cannot be read back.
class FillingOutput : public OutputFile {
 public:
  FillingOutput(std::unique_ptr<OutputFile> file, std::size_t room, bool unreadable)
      : file_(std::move(file)), room_(room), unreadable_(unreadable) {}
  bool Created() const override { return file_->Created(); }
  std::uint64_t SizeBefore() const override { return file_->SizeBefore(); }
  std::optional<std::string> FirstBytes() const override { return unreadable_ ? std::nullopt : file_->FirstBytes(); }
  std::optional<std::string> LastBytes() const override { return unreadable_ ? std::nullopt : file_->LastBytes(); }
  bool Write(const char* data, std::size_t size) override {
    const std::size_t fits = std::min(size, room_);
    room_ -= fits;
    if (!file_->Write(data, fits)) return false;
    if (fits < size) full_ = true;
    return !full_;
  }
  bool Truncate(std::uint64_t size) override { return file_->Truncate(size); }
  bool Close() override { return file_->Close() && !full_; }
  void Discard() override { file_->Discard(); }
  FileError Error() const override { return full_ ? FileError{FileError::Kind::DiskFull, 28} : file_->Error(); }

 private:
  std::unique_ptr<OutputFile> file_;
  std::size_t room_;
  bool unreadable_;  // as a file one may write but not read
  bool full_ = false;
};

// The machine's files with faults put in: the input from a MemoryInput made
// anew, an output that seems missing until it is opened (another run created
// it meanwhile), or one that fills after `room` bytes.
class FaultyFiles : public FileSystem {
 public:
  std::function<std::unique_ptr<InputFile>()> input;  // null: the real file
  std::string seemsMissing;                           // a path that seems not to exist
  std::size_t room = std::string::npos;
  bool unreadable = false;  // the output may be written but not read

  bool Exists(const std::string& path) override { return path != seemsMissing && LocalFileSystem().Exists(path); }
  std::uint64_t SizeOf(const std::string& path) override {
    return input ? input()->Size() : LocalFileSystem().SizeOf(path);
  }
  bool IsSameFile(const std::string& a, const std::string& b) override { return LocalFileSystem().IsSameFile(a, b); }
  std::unique_ptr<InputFile> OpenForReading(const std::string& path, FileError& error) override {
    return input ? input() : LocalFileSystem().OpenForReading(path, error);
  }
  std::unique_ptr<OutputFile> OpenOutput(const std::string& path, OutputMode mode, FileError& error) override {
    return Filling(LocalFileSystem().OpenOutput(path, mode, error));
  }
  std::unique_ptr<OutputFile> OpenReplacement(const std::string& path, bool replace, FileError& error) override {
    return Filling(LocalFileSystem().OpenReplacement(path, replace, error));
  }
  bool Remove(const std::string& path, FileError& error) override { return LocalFileSystem().Remove(path, error); }

 private:
  std::unique_ptr<OutputFile> Filling(std::unique_ptr<OutputFile> file) const {
    return file ? std::make_unique<FillingOutput>(std::move(file), room, unreadable) : nullptr;
  }
};

using Calls = std::vector<std::string>;

// Where two lists first differ, in one line ("" when they are equal): a
// failing table row names its row and this, not two long lists.
inline std::string FirstDifference(const std::vector<std::string>& got, const std::vector<std::string>& wanted) {
  for (std::size_t i = 0; i < std::max(got.size(), wanted.size()); ++i) {
    const std::string a = i < got.size() ? got[i] : "<nothing>", b = i < wanted.size() ? wanted[i] : "<nothing>";
    if (a != b) return "at " + std::to_string(i) + ": got " + a + ", wanted " + b;
  }
  return "";
}

// A window that answers from a script and writes down every call.
class FakeRunWindow : public RunWindow {
 public:
  std::string inputPath, fieldList;
  std::deque<bool> answers;  // Ask's answers in order; Yes when used up
  std::string savePath;      // "" cancels the save dialog
  OutputType saveType = OutputType::GbkText;
  long closeAtProgress = -1;        // on this call (1-based) ShowProgress says the window closes,
  long stopAtProgress = -1;         // or that the user asked to stop
  long memoryShortAtProgress = -1;  // after this call, requests of more than 4 KiB fail
  bool replaceExisting = false;     // the answer to the question about an existing text file
  std::string proposed;             // what the save dialog was to propose
  Calls calls;

  std::string InputPath() override { return Log("InputPath"), inputPath; }
  std::string FieldList() override { return Log("FieldList"), fieldList; }
  void SetBeginEnabled(bool on) override { Log(on ? "SetBeginEnabled(true)" : "SetBeginEnabled(false)"); }
  void ShowProgressLabel() override { Log("ShowProgressLabel"); }
  ProgressAnswer ShowProgress(const std::string& caption, const RunProgress&) override {
    Log("ShowProgress(" + caption + ")");
    if (++progressCalls_ == memoryShortAtProgress) g_largestAllocation = 4096;
    if (progressCalls_ == closeAtProgress) return ProgressAnswer::Close;
    return progressCalls_ == stopAtProgress ? ProgressAnswer::Stop : ProgressAnswer::Continue;
  }
  bool Ask(Question question, const std::string& prompt) override {
    const char* const names[] = {"ContinueWithEmptyColumns", "ConfirmExport", "AppendToExisting", "ReplaceExisting",
                                 "ReplaceInstead"};
    Log(std::string("Ask(") + names[static_cast<int>(question)] + "|" + prompt + ")");
    const bool answer = answers.empty() || answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  void Tell(Notice notice, const std::string& text) override {
    const char* const names[] = {"NoInputPath", "InputNotFound", "Finished", "FinishedWithWarning", "Failed"};
    Log(std::string("Tell(") + names[static_cast<int>(notice)] + "|" + text + ")");
  }
  OutputChoice ChooseOutputFile() override { return Log("ChooseOutputFile"), OutputChoice{savePath, saveType}; }
  OutputChoice ChooseOutputProposing(const std::string& name) override { return proposed = name, ChooseOutputFile(); }
  ExistingAnswer AskAboutExisting(const std::string& prompt) override {
    if (!Ask(Question::AppendToExisting, prompt)) return ExistingAnswer::Cancel;
    return replaceExisting ? ExistingAnswer::Replace : ExistingAnswer::Append;
  }
  void SaveFieldList() override { Log("SaveFieldList"); }

 private:
  void Log(std::string call) { calls.push_back(std::move(call)); }
  long progressCalls_ = 0;
};

namespace expected {
inline const std::string kFinishedPrompt = "恭喜，数据已经转换完毕咯！";
inline const std::string kConfirm = "Ask(ConfirmExport|您好,是否确定导出数据为制表符文本数据？)";
inline const std::string kAskAppend = "Ask(AppendToExisting|该文件已存在，是否追加数据！\n.../输出.txt)";
// The end message's line naming the log beside the output.
inline std::string LogLine(int lines) {
  return "\n各问题所在的记录见问题记录：.../输出.txt.log.txt（" + std::to_string(lines) + "行）";
}
// The caption after `records` records, `percent` of the input read.
inline std::string Progress(int records, int percent) {
  return "ShowProgress(正在预读数据，目前已完成" + std::to_string(records) + "条.....（" + std::to_string(percent) +
         "%）)";
}
// What a Chinese user reads of a run's failure.
inline std::string FailureText(const RunSummary& summary) {
  return Messages(Language::Chinese).Failed(summary.failure, Work::Conversion);
}
inline std::string Finished(const std::string& text) { return "Tell(Finished|" + text + ")"; }
inline std::string Warning(const std::string& text) { return "Tell(FinishedWithWarning|" + text + ")"; }
inline std::string ErrorBox(const std::string& text) { return "Tell(Failed|" + text + ")"; }
// Every run that gets going begins so, up to its first question.
inline Calls StartThen(std::initializer_list<std::string> more) {
  Calls calls = {"InputPath", "SetBeginEnabled(false)", "SaveFieldList", "ShowProgressLabel", "FieldList", kConfirm};
  calls.insert(calls.end(), more);
  return calls;
}
}  // namespace expected
