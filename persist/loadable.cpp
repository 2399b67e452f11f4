#include "persist/loadable.hpp"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

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
  // ICU compares the folded forms rather than unit by unit.
  UErrorCode status = U_ZERO_ERROR;
  int32_t order = u_strCaseCompare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                                   static_cast<int32_t>(b.size()), U_FOLD_CASE_DEFAULT, &status);
  return U_SUCCESS(status) && order == 0;
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
