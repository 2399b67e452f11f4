// The reports of the observe and abort modes: one line per call site and
// problem when it first goes wrong, a count per site, and the summary at
// exit. Internal to the checking library; the format of the lines is
// described with FormatMode in qirt/format_error.hpp.
#pragma once

#include <string>

#include "checker/format_report.hpp"
#include "qirt/format_error.hpp"

namespace qirt::detail {

// Counts the wrong call at its site and, when the site and problem are new,
// writes their line; in kFormatModeAbort then aborts, once the line is out.
// Allocates only to describe a new site; never throws.
void observeFormatError(const call_t& call, const std::string& format, const problem_t& problem,
                        FormatMode mode) noexcept;

// Writes the line "qirt-format[<process id>]: <first><second><third>" where
// the reports go; control characters become '?'.
void writeFormatNote(const char* first, const char* second, const char* third) noexcept;

}  // namespace qirt::detail
