#include "app/field_list_files.h"

#include <memory>

#include "marc/field_list_file.h"

namespace {

ListFileRead Refused(ListFileRead::Problem problem, FileError error = {}) {
  ListFileRead read;
  read.problem = problem;
  read.error = error;
  return read;
}

}  // namespace

ListFileRead ReadFieldListFile(FileSystem& files, const std::string& path) {
  FileError error;
  const std::unique_ptr<InputFile> input = files.OpenForReading(path, error);
  if (!input) return Refused(ListFileRead::Problem::CannotOpen, error);
  if (input->Size() > kLargestListFile) return Refused(ListFileRead::Problem::TooLarge);
  // The size may not be known, or may grow meanwhile: one byte past the
  // largest tells a file too large.
  std::string bytes;
  char buffer[65536];
  while (bytes.size() <= kLargestListFile) {
    const std::size_t read = input->Read(buffer, sizeof buffer);
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  if (input->Error()) return Refused(ListFileRead::Problem::CannotRead, input->Error());
  if (bytes.size() > kLargestListFile) return Refused(ListFileRead::Problem::TooLarge);
  FieldListFileText text = FieldListFromFile(bytes);
  switch (text.problem) {
    case FieldListFileText::Problem::NotUtf8: return Refused(ListFileRead::Problem::NotUtf8);
    case FieldListFileText::Problem::TooManyItems: return Refused(ListFileRead::Problem::TooManyItems);
    case FieldListFileText::Problem::None: break;
  }
  ListFileRead read;
  read.list = std::move(text.list);
  return read;
}

FileError WriteFieldListFile(FileSystem& files, const std::string& path, const std::string& list) {
  FileError error;
  const std::unique_ptr<OutputFile> output = files.OpenReplacement(path, true, error);
  if (!output) return error;
  const std::string bytes = FieldListFileBytes(list);
  // A file that could not be written whole is deleted, and the old one stays.
  if (output->Write(bytes.data(), bytes.size()) && output->Close()) return {};
  const FileError failed = output->Error();
  return failed ? failed : FileError{FileError::Kind::Other, 0};
}
