// Type-checked formatting of one macro result with a printf-style specifier.
#pragma once

#include <string>

namespace wyx::tool {

// Formats `value` with `spec`, which must hold exactly one conversion of the
// printf family (literal text and "%%" around it are allowed). The text is
// converted to the argument the conversion expects first: a character (first
// byte, 0x7F when empty), an integer (atoi, or strtoll with base 0 for 64-bit
// sizes), a floating-point number (strtod/strtold) or a string (up to the
// first NUL). Wide conversions ("%C", "%lc", "%S", "%ls") read `value` as
// Windows-1252 and produce UTF-8; their width and precision count characters.
//
// Throws EMacroException("Invalid format specifier \"<spec>\"") for a spec
// without a conversion, with a malformed one, with more than one argument
// (a second conversion or a '*'), for "%n" and "%p", for positional
// arguments ("$"), and for a width or precision above kMaxFieldWidth.
std::string formatValue(const std::string& spec, const std::string& value);

// Largest width or precision formatValue accepts, so that a specifier cannot
// ask for an arbitrarily large result.
constexpr unsigned kMaxFieldWidth = 65536;

}  // namespace wyx::tool
