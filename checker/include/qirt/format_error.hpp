// What the checking library reports when a call is wrong: the facts of the
// mismatch, the exception thrown by default, and the handler a program may
// install instead. A program includes this header where it catches
// qirt::EFormatError or installs a handler; the headers that route calls
// through the checker do not include it, so that a checked unit pays for
// <string> and <stdexcept> only when it uses them. C++11.
#ifndef QIRT_FORMAT_ERROR_HPP
#define QIRT_FORMAT_ERROR_HPP

#include <stdexcept>
#include <string>

namespace qirt {

enum FormatErrorKind {
  kFormatTypeMismatch,     // an argument of the wrong type
  kFormatMissingArgument,  // the format wants more arguments than given
  kFormatSurplusArgument,  // more arguments than the format uses
  kFormatUnusedArgument,   // with positions: an argument below the highest
                           // position that no conversion names
  kFormatMalformed,        // a specifier the C library does not know
  kFormatPositions,        // positions the C library lacks, or positions
                           // mixed with plain specifiers
  kFormatNullFormat,       // the format is a null pointer
};

// The facts of one mismatch. Strings are UTF-8 (a wide format is converted)
// and NUL-terminated, never null; they live only while the handler runs.
struct format_error_t {
  FormatErrorKind kind;
  const char* family;      // "printf", "wprintf", "scanf" or "wscanf"; for the
                           // secure functions "printf_s" ... "wscanf_s"
  const char* format;      // the whole format, "" for a null format
  unsigned argument;       // 1-based position of the argument, 0 for none
  unsigned argumentCount;  // number of arguments passed
  const char* specifier;   // the specifier as written, "" for none
  const char* wanted;      // the type the specifier wants, "" for none
  const char* given;       // the type passed, "" for none
  const char* file;        // file, line and function of the call in the
  int line;                // debug variant; "" and 0 otherwise
  const char* function;
  const char* message;  // the whole message, as EFormatError::what()
};

// Thrown for a mismatch unless a handler is installed. what() is, e.g.,
//   printf format "%d items": argument 1 is const char*, but %d wants int
// followed in the debug variant by " (main.cpp:12, report)".
class EFormatError : public std::runtime_error {
 public:
  explicit EFormatError(const format_error_t& error);

  FormatErrorKind kind() const { return kind_; }
  const std::string& family() const { return family_; }
  const std::string& format() const { return format_; }
  unsigned argument() const { return argument_; }
  const std::string& specifier() const { return specifier_; }
  const std::string& wanted() const { return wanted_; }
  const std::string& given() const { return given_; }
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& function() const { return function_; }

 private:
  FormatErrorKind kind_;
  std::string family_;
  std::string format_;
  unsigned argument_;
  std::string specifier_;
  std::string wanted_;
  std::string given_;
  std::string file_;
  int line_;
  std::string function_;
};

// Reaction to a mismatch. A handler that returns lets the call go on to the
// C function as it is; one that throws stops it.
typedef void (*FormatErrorHandler)(const format_error_t& error);

// Installs `handler` for the whole program (all threads) and returns the one
// it replaces; null restores the default, which throws EFormatError.
FormatErrorHandler setFormatErrorHandler(FormatErrorHandler handler);

}  // namespace qirt

#endif  // QIRT_FORMAT_ERROR_HPP
