#include "persist/loadable.hpp"

#include "wyx/unicode/unicode.hpp"

namespace persist {

namespace {

char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

bool isAscii(const wyx::UnicodeString& s) {
  for (char16_t c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool sameName(const wyx::UnicodeString& a, const wyx::UnicodeString& b) {
  if (isAscii(a) && isAscii(b)) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
  }
  // Full case folding can change lengths (German sharp s folds to "ss"), so
  // the folded forms are compared rather than unit by unit.
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
