// The error type of the template engine and the block-table look-up helper.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace wyx::tool {

// Raised for malformed templates, failed invocations and rejected format
// specifiers. An error that arises inside an expansion carries the template
// line and column of the failing invocation, both as fields and as the
// message prefix "Macro error in line L, column C: "; errors raised outside
// any positioned context carry line and column 0.
class EMacroException : public std::runtime_error {
 public:
  explicit EMacroException(const std::string& message)
      : std::runtime_error(message), line_(0), column_(0) {}
  EMacroException(const std::string& message, std::int32_t line, std::int32_t column)
      : std::runtime_error(message), line_(line), column_(column) {}

  std::int32_t line() const { return line_; }
  std::int32_t column() const { return column_; }

  // Wraps `inner` in the position prefix; the result carries line and column
  // as fields too. The one place that composes positioned messages.
  static EMacroException at(std::int32_t line, std::int32_t column, const std::string& inner);

 private:
  std::int32_t line_;
  std::int32_t column_;
};

}  // namespace wyx::tool
