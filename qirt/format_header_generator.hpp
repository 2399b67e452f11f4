// The header generator: expands the three templates with the settings and
// writes format_definition_begin.hpp, format_definition_end.hpp and
// format_typelist.hpp.
#pragma once

#include <string>

#include "qirt/header_size.hpp"
#include "wyx/oo/strings.hpp"

namespace wyx::io {
class IStream;
}

namespace qirt {

class TFormatHeaderSettings;
class TemplateLibrary;

inline constexpr const char kBeginHeaderName[] = "format_definition_begin.hpp";
inline constexpr const char kEndHeaderName[] = "format_definition_end.hpp";
inline constexpr const char kTypelistHeaderName[] = "format_typelist.hpp";

// Expands the three templates into `begin`, `end` and `typelist`, in this
// order, writing as the text is produced. `settings` is only read; its name
// list must stay unchanged during the call. Raises EHeaderSizeLimit as soon
// as a repeated block shows that the headers would pass `limit`,
// wyx::oo::EResNotFound for a template missing from `templates`,
// wyx::tool::EMacroException for template errors, std::runtime_error "Map
// entry not found" for a missing block, and ESafecallException when an
// output refuses a write.
void generateFormatHeaders(const TFormatHeaderSettings& settings, const TemplateLibrary& templates,
                           const size_limit_t& limit, wyx::io::IStream& begin,
                           wyx::io::IStream& end, wyx::io::IStream& typelist);

// The size limit of a run with `settings`: kMaxHeaderBytes.
size_limit_t headerSizeLimit(const TFormatHeaderSettings& settings);

// The three header texts, 8-bit with CRLF line ends, built in memory (tests).
struct format_headers_t {
  std::string begin;
  std::string end;
  std::string typelist;
};
format_headers_t buildFormatHeaders(const TFormatHeaderSettings& settings,
                                    const TemplateLibrary& templates);

// Generates the headers with the built-in templates straight into the
// directory `outputpath` (a path delimiter is appended unless it ends in
// one). No header changes unless all three are complete, and one whose
// bytes come out the same is not touched at all. Raises what
// generateFormatHeaders raises, EHeaderSizeLimit also when the headers reach
// the limit while they are written, and what HeaderFileSet raises; an empty
// `outputpath` is refused with wyx::io::EStreamOpenError rather than taken
// as the file-system root.
void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath);

// The same with other templates (tests).
void writeFormatHeaderFiles(TFormatHeaderSettings* settings, const wyx::UnicodeString& outputpath,
                            const TemplateLibrary& templates);

}  // namespace qirt
