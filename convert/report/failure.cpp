#include "report/failure.h"

#include <new>
#include <stdexcept>
#include <utility>

Failure FailureOf(const std::exception& error) {
  const bool memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr ||
                      dynamic_cast<const std::length_error*>(&error) != nullptr;
  Failure failure;
  failure.kind = memory ? Failure::Kind::OutOfMemory : Failure::Kind::ProgramFault;
  return failure;
}

Failure FileFailure(Failure::Kind kind, std::string path, const FileError& error) {
  Failure failure;
  failure.kind = kind;
  failure.path = std::move(path);
  failure.fileError = error;
  return failure;
}
