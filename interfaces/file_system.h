#pragma once
// The few file operations a conversion run needs, behind an interface so that
// tests can inject failures and marc2tab can map "-" to standard output.
// Paths are UTF-8.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Why a file operation failed, as the platform reported it (errno on POSIX,
// GetLastError on Windows), sorted into what a person can act on.
struct FileError {
  enum class Kind {
    None,
    NotFound,      // no such file
    PathNotFound,  // a folder on the way does not exist
    NoPermission,
    IsFolder,
    InUse,   // another program holds the file open or locked
    Exists,  // a new file was asked for and one is there
    DiskFull,
    ReadOnly,      // the disk or the file system takes no writes
    ReadOnlyFile,  // the file itself is marked read-only
    TooManyOpen,
    TooLarge,    // past the largest file the system or a limit allows
    BrokenPipe,  // the program reading the output has gone
    InvalidName,
    NameTooLong,
    ReadWrite,  // the device failed
    OutOfMemory,
    Other,  // code holds the system's own number
  };
  Kind kind = Kind::None;
  long code = 0;

  explicit operator bool() const { return kind != Kind::None; }
};

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to size bytes; returns the count, 0 at the end. On a read error
  // returns 0 and Error() tells why.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual FileError Error() const = 0;
  // The file's size, for showing how far a run has got; 0 when it is not
  // known (a pipe).
  virtual std::uint64_t Size() const = 0;

  // The file's bytes from `offset` on, `size` of them or fewer at its end,
  // mapped into memory instead of copied: where the system allows, for a
  // file whose size has not changed since the first window. Each call drops
  // the window given before, and the view lasts until the next call or until
  // the file is closed. nullopt when the file cannot be mapped (a pipe,
  // standard input) or no longer can: the window given before then stays,
  // and Read goes on from its end. A file that shrinks under a window reads
  // as zero bytes there and fails the next call and every read after it.
  virtual std::optional<std::string_view> MapWindow(std::uint64_t /*offset*/, std::size_t /*size*/) {
    return std::nullopt;
  }
};

// A file open for this run's lines, held by this run alone until it is
// closed: a second run that wants the same file is refused instead of mixing
// its lines into this one's.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Whether this run created the file (it did not exist before).
  virtual bool Created() const = 0;
  // What the file held before this run: its size, and up to kEdgeBytes of its
  // first and last bytes ("" for a new or empty file, or a stream that is no
  // file); nullopt when they cannot be read. The first bytes hold the first
  // line (a header row) whole, or enough of it to tell its encoding.
  static constexpr std::size_t kEdgeBytes = 4096;
  virtual std::uint64_t SizeBefore() const = 0;
  virtual std::optional<std::string> FirstBytes() const = 0;
  virtual std::optional<std::string> LastBytes() const = 0;
  // Writes all bytes or fails; false on failure (Error tells why).
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Cuts the file back to its first `size` bytes, after a write that failed
  // part way. Nothing to do for a stream that is no file.
  virtual bool Truncate(std::uint64_t size) = 0;
  // Flushes and closes; false if anything could not be written.
  virtual bool Close() = 0;
  // Closes and deletes the file this run created, and only that file: when
  // its name now leads to another file, nothing is deleted.
  virtual void Discard() = 0;
  virtual FileError Error() const = 0;
};

enum class OutputMode {
  CreateNew,  // the file must not exist yet: one that appears meanwhile is an error (Exists)
  Append,     // created when missing; existing content is kept and added to
  Replace,    // a whole new file put in the place of one that may be there
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;
  // The size of a file, for showing how far a run over several has got; 0
  // when it is not known (no file, a pipe, a device).
  virtual std::uint64_t SizeOf(const std::string& path) = 0;
  // Whether both paths name the same existing file (through links, other
  // spellings or letter case too).
  virtual bool IsSameFile(const std::string& first, const std::string& second) = 0;
  // nullptr on failure, with error set.
  virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path, FileError& error) = 0;
  // nullptr on failure (InUse when another run or program holds it, Exists
  // when a new file was asked for).
  virtual std::unique_ptr<OutputFile> OpenOutput(const std::string& path, OutputMode mode, FileError& error) = 0;
  // A whole new file, written beside `path` without taking its name and put
  // in its place only by Close: a run that fails, is discarded or is killed
  // leaves no half-written file in sight, and the file that was there stays
  // as it was until then. Without `replace`, a file at `path` is an error
  // (Exists), at the open and again at the close, as are a read-only file
  // (ReadOnlyFile) and one that another run or program holds so that it
  // cannot be replaced (InUse). Through a symbolic link, the file it names
  // is replaced and the link stays. The new file keeps what the old one had:
  // on POSIX its permission bits, and its owner where this process may give
  // it; on Windows its attributes.
  virtual std::unique_ptr<OutputFile> OpenReplacement(const std::string& path, bool replace, FileError& error) = 0;
  // Deletes a file (a log an earlier run left); true when there is none
  // there now.
  virtual bool Remove(const std::string& path, FileError& error) = 0;
};

// The machine's own files.
FileSystem& LocalFileSystem();
