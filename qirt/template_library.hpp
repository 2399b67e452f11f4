// The templates the generator expands, kept in the program as named byte
// strings and opened as streams.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "wyx/io/stream.hpp"
#include "wyx/oo/interface.hpp"

namespace qirt {

// Names of the three built-in templates as the generator looks them up.
inline constexpr const char kBeginTemplateName[] = "format_definition_begin";
inline constexpr const char kEndTemplateName[] = "format_definition_end";
inline constexpr const char kTypelistTemplateName[] = "format_typelist";

// A set of templates found by name, ASCII letter case ignored.
class TemplateLibrary {
 public:
  // Adds a template; a name already present keeps its first text.
  void add(std::string name, std::string text);

  // A new read-only stream over the template's bytes, positioned at 0 (a
  // RuntimeStreamWrapper that owns a RuntimeMemoryStream). Raises
  // wyx::oo::EResNotFound "Ressource <name> nicht gefunden" when the library
  // holds no template of that name.
  wyx::oo::InterfacePtr<wyx::io::IStream> open(const std::string& name) const;

  // The template's text, or null when absent.
  const std::string* find(const std::string& name) const;

 private:
  std::vector<std::pair<std::string, std::string>> templates_;
};

// The templates built into the program (qirt/templates/*.tpl).
const TemplateLibrary& builtInTemplates();

}  // namespace qirt
