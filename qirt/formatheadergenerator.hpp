// The header generator: expands the three templates with the settings and
// writes format_definition_begin.hpp, format_definition_end.hpp and
// format_typelist.hpp.
#pragma once

#include <string>

#include "wyx/oo/strings.hpp"

namespace qirt {

class TFormatHeaderSettings;
class TemplateLibrary;

inline constexpr const char kBeginHeaderName[] = "format_definition_begin.hpp";
inline constexpr const char kEndHeaderName[] = "format_definition_end.hpp";
inline constexpr const char kTypelistHeaderName[] = "format_typelist.hpp";

// The three header texts, 8-bit with CRLF line ends.
struct format_headers_t {
  std::string begin;
  std::string end;
  std::string typelist;
};

// Builds the texts in memory. `settings` is only read; its name list must
// stay unchanged during the call. Raises EHeaderSizeLimit before any
// expansion when the texts would exceed kMaxHeaderBytes,
// wyx::oo::EResNotFound for a template missing from `templates`,
// wyx::tool::EMacroException for template errors and std::runtime_error
// "Map entry not found" for a missing block.
format_headers_t buildFormatHeaders(const TFormatHeaderSettings& settings,
                                    const TemplateLibrary& templates);

// Builds the texts with the built-in templates and puts the three files into
// the directory `outputpath` (a path delimiter is appended unless it ends in
// one). Raises what buildFormatHeaders raises, before any file is touched,
// then what installHeaderFiles raises; an empty `outputpath` is refused with
// wyx::io::EStreamOpenError rather than taken as the file-system root.
void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath);

// The same with other templates (tests).
void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath,
                            const TemplateLibrary& templates);

}  // namespace qirt
