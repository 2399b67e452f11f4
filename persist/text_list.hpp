// TTextList, the ordered list of wide strings that an options file can refill
// through its "Strings" content.
#pragma once

#include <cstddef>
#include <vector>

#include "persist/loadable.hpp"
#include "wyx/oo/strings.hpp"

namespace persist {

// Keeps insertion order and duplicates; never sorts. Has no table properties
// of its own; its one extra content, "Strings", replaces the whole list.
class TTextList : public TLoadable {
 public:
  static const property_table_t& classProperties();
  const property_table_t& properties() const override { return classProperties(); }

  std::size_t count() const { return items_.size(); }
  // REQUIRES: i < count().
  const wyx::UnicodeString& operator[](std::size_t i) const { return items_[i]; }
  void add(const wyx::UnicodeString& text) { items_.push_back(text); }
  void clear() { items_.clear(); }
  auto begin() const { return items_.cbegin(); }
  auto end() const { return items_.cend(); }

  char16_t getSeparator() const { return separator_; }
  void setSeparator(char16_t separator) { separator_ = separator; }
  // Replaces the list by the pieces of `text` between separators. An empty
  // text gives an empty list; "a,,b" gives three items, the middle one empty.
  void setDelimitedText(const wyx::UnicodeString& text);

  // "Strings": a list of strings, read in file order after emptying the list.
  bool readExtraContent(const wyx::UnicodeString& name, OptionsReader& reader) override;

 private:
  std::vector<wyx::UnicodeString> items_;
  char16_t separator_ = u',';
};

}  // namespace persist
