// Turns a mismatch found by the checker into the message, the facts for the
// handler and the exception. Internal to the checking library; nothing here
// runs unless a call is wrong.
#pragma once

#include <cstddef>
#include <string>

#include "qirt/format.hpp"
#include "qirt/format_error.hpp"

namespace qirt::detail {

// One checked call.
struct call_t {
  FormatFamily family;
  FormatDialect dialect;
  bool wide;
  const unsigned* types;
  unsigned count;
  const char* file;
  int line;
  const char* function;
  unsigned mode = 0;  // the unit's build default: a FormatMode value, 0 for none
};

// What is wrong with the positions of a kFormatPositions problem.
enum class PositionProblem {
  kNone,
  kUnsupported,   // the C library reads no positions
  kMixed,         // some fields of the specifier name positions, some not
  kPositioned,    // it names positions, but an earlier specifier does not
  kUnpositioned,  // it names none, but an earlier specifier does
  kReused,        // scanf: the argument was named before
  kNoArgument,    // it names a position but takes no argument
};

// What is wrong with it.
struct problem_t {
  FormatErrorKind kind = kFormatMalformed;
  unsigned argument = 0;   // 1-based, 0 for none
  std::size_t offset = 0;  // of the specifier in the format, in characters
  std::string specifier;   // UTF-8
  const char* wanted = "";
  bool star = false;  // the argument is a '*' width or precision
  // The argument is the size of the buffer that this argument (1-based) is,
  // as scanf_s takes one after every text target; 0 for none.
  unsigned sizeOf = 0;
  // A surplus argument of scanf_s follows the target of this specifier,
  // which takes no size; "" for none.
  std::string unsized;
  // A kFormatMalformed specifier that the library knows but the secure
  // functions refuse ("%n").
  bool refusedBySecure = false;
  PositionProblem position = PositionProblem::kNone;
};

// UTF-8 of a stretch of format text; a wide one is decoded as UTF-16 or
// UTF-32 by the size of wchar_t, with U+FFFD for what does not decode.
std::string formatText(const char* begin, const char* end);
std::string formatText(const wchar_t* begin, const wchar_t* end);

// Hands the mismatch to the installed handler, or reacts as the mode says:
// throws EFormatError, reports (format_observe.hpp) or aborts. Returns only
// when a handler returns or in observe mode.
void reportFormatError(const call_t& call, const std::string& format, const problem_t& problem);

// Builds the message and calls `use` with the facts, which live only while
// it runs; throws what building them throws (std::bad_alloc) and what `use`
// throws.
void describeFormatError(const call_t& call, const std::string& format, const problem_t& problem,
                         void (*use)(const format_error_t& error, void* context), void* context);

}  // namespace qirt::detail
