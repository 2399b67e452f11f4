// What the checking library reports when a call is wrong: the facts of the
// mismatch, the exception thrown by default, the handler a program may
// install instead, and the modes that report and go on or abort. A program
// includes this header where it catches qirt::EFormatError, installs a
// handler or chooses a mode; the headers that route calls through the
// checker do not include it, so that a checked unit pays for <string> and
// <stdexcept> only when it uses them. C++11.
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
// it replaces; null restores the default, the mode below. A handler wins
// over every mode.
FormatErrorHandler setFormatErrorHandler(FormatErrorHandler handler);

// What a wrong call does when no handler is installed.
//
// The mode is, in this order: the one the program chooses with
// setFormatMode; else the one the environment variable QIRT_FORMAT_MODE
// names ("throw", "observe" or "abort", read once, at the first wrong call;
// any other value is ignored with a one-line warning); else the one the
// calling unit was built with (the definition QIRT_FORMAT_MODE=throw, observe
// or abort, as korven_check_formats(... MODE observe) sets it); else throw.
// Units that share wrappers (the same declarations in the same namespace)
// should have the same build default: the linker keeps one copy of each.
//
// Observe and abort write one line per call site and problem, when it first
// goes wrong, to standard error or, appended, to the file that the
// environment variable QIRT_FORMAT_LOG names (standard error, with a note,
// when it cannot be opened). Each line is written at once and starts with
// "qirt-format[<process id>]: ", followed by the text of EFormatError::what():
//   qirt-format[4242]: printf format "%ld\n": argument 1 is int, but %ld wants long
// A call site is its file, line and function in the debug variant, else its
// format text. In observe mode, at exit (and once when the table of call
// sites fills) a summary follows with the number of wrong calls per site:
//   qirt-format[4242]: summary: 20000 wrong calls at 1 call site
//   qirt-format[4242]: summary: 20000 x printf format "%ld\n": argument 1 ...
// The table holds 256 sites; calls at further sites are only counted. A
// child made with fork starts with an empty table. Reporting works from any
// thread and never throws; it builds the message only when a site first
// goes wrong, and if memory runs out then, the line says so without the
// details.
enum FormatMode {
  kFormatModeDefault,  // none chosen: the environment's, the unit's, throw
  kFormatModeThrow,    // throw EFormatError; the call does not reach the C function
  kFormatModeObserve,  // report, count, and let the call go on to the C function
  kFormatModeAbort,    // report, then abort the program (for test runs)
};

// Chooses `mode` for the whole program (all threads), over the environment
// and the build; kFormatModeDefault leaves the choice to them again.
// Returns the previous choice.
FormatMode setFormatMode(FormatMode mode);

// The mode chosen with setFormatMode, else the environment's (reading it if
// no wrong call has yet), else kFormatModeDefault: each unit's build
// default, else throw.
FormatMode formatMode();

}  // namespace qirt

#endif  // QIRT_FORMAT_ERROR_HPP
