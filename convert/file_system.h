#pragma once
// The few file operations a conversion run needs, behind an interface so that
// tests can inject failures and marc2tab can map "-" to standard output.
// Paths are UTF-8.
#include <cstddef>
#include <memory>
#include <string>

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to size bytes; returns the count, 0 at the end. On a read error
  // returns 0 and Failed() is true.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual bool Failed() const = 0;
  virtual int ErrorNumber() const = 0;  // errno of the failure
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all bytes or fails; false on failure (ErrorNumber tells why).
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Flushes and closes; false if anything could not be written.
  virtual bool Close() = 0;
  virtual int ErrorNumber() const = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;
  // Whether both paths name the same existing file (through links, other
  // spellings or letter case too).
  virtual bool IsSameFile(const std::string& first, const std::string& second) = 0;
  // nullptr on failure, with errorNumber set.
  virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path, int& errorNumber) = 0;
  // Creates the file when missing; existing content is kept and appended to.
  virtual std::unique_ptr<OutputFile> OpenForAppending(const std::string& path, int& errorNumber) = 0;
};

// The machine's own files (fopen on POSIX, _wfopen on Windows).
FileSystem& LocalFileSystem();
