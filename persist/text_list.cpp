#include "persist/text_list.hpp"

#include "persist/options_reader.hpp"

namespace persist {

const property_table_t& TTextList::classProperties() {
  static const property_table_t table{"TTextList", &TLoadable::classProperties(), nullptr, 0};
  return table;
}

void TTextList::setDelimitedText(const wyx::UnicodeString& text) {
  items_.clear();
  if (text.empty()) return;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(separator_, start);
    if (end == wyx::UnicodeString::npos) {
      items_.push_back(text.substr(start));
      return;
    }
    items_.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

bool TTextList::readExtraContent(const wyx::UnicodeString& name, OptionsReader& reader) {
  if (!sameName(name, "Strings")) return TLoadable::readExtraContent(name, reader);
  // The list start is checked before anything is emptied, so a value that is
  // no list leaves the old names in place.
  reader.readListStart();
  items_.clear();
  while (!reader.endOfList()) items_.push_back(reader.readString());
  reader.readListEnd();
  return true;
}

}  // namespace persist
