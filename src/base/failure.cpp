#include "base/failure.h"

#include <new>

#include "text/ansi_codepage.h"
#include "text/utf.h"

namespace orv {

Failure::Failure(std::int32_t number, std::u16string description)
    : std::runtime_error(text::toUtf8(description)), number_(number), description_(std::move(description)) {}

void throwSubscriptOutOfRange() { throw Failure(error_number::kSubscriptOutOfRange, u"Subscript out of range"); }

void throwOverflow() { throw Failure(error_number::kOverflow, u"Overflow"); }

void throwBadFileName() { throw Failure(error_number::kBadFileName, u"Bad file name or number"); }

void throwDiskFull() { throw Failure(error_number::kDiskFull, u"Disk full"); }

void throwPathFileAccessError() { throw Failure(error_number::kPathFileAccessError, u"Path/File access error"); }

void throwPathNotFound() { throw Failure(error_number::kPathNotFound, u"Path not found"); }

void throwObjectVariableNotSet() {
  throw Failure(error_number::kObjectVariableNotSet, u"Object variable or With block variable not set");
}

CaughtFailure describeCurrentException() noexcept {
  try {
    throw;
  } catch (const Failure& failure) {
    try {
      return {failure.number(), failure.description()};
    } catch (...) {
      return {failure.number(), {}};
    }
  } catch (const text::ConversionError&) {
    return {error_number::kInvalidProcedureCall, u"Invalid procedure call or argument"};
  } catch (const std::bad_alloc&) {
    return {error_number::kOutOfMemory, u"Out of memory"};
  } catch (const std::exception& other) {
    try {
      return {error_number::kInternalError, text::fromUtf8(other.what())};
    } catch (...) {
      return {error_number::kInternalError, {}};
    }
  } catch (...) {
    return {error_number::kInternalError, u"Internal error"};
  }
}

}  // namespace orv
