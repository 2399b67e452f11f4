#include "persist/loadable.hpp"

#include "wyx/unicode/unicode.hpp"

namespace persist {

// Full case folding can change lengths (German sharp s folds to "ss"), so
// the folded forms are compared rather than unit by unit; ASCII names take
// the comparison's own unit-by-unit path.
bool sameName(const wyx::UnicodeString& a, const wyx::UnicodeString& b) {
  return wyx::unicode::equalsIgnoringCase(a, b);
}

bool sameName(const wyx::UnicodeString& a, const char* asciiName) {
  return sameName(a, wyx::UnicodeString(asciiName, asciiName + std::char_traits<char>::length(asciiName)));
}

const property_t* findProperty(const property_table_t& table, const wyx::UnicodeString& name) {
  for (const property_table_t* t = &table; t != nullptr; t = t->base) {
    for (std::size_t i = 0; i < t->count; ++i) {
      if (sameName(name, t->entries[i].name)) return &t->entries[i];
    }
  }
  return nullptr;
}

const property_table_t& TLoadable::classProperties() {
  static const property_table_t table{"TLoadable", nullptr, nullptr, 0};
  return table;
}

bool TLoadable::readExtraContent(const wyx::UnicodeString&, OptionsReader&) { return false; }

}  // namespace persist
