// TNamedObject, a loadable object with a name: the kind of object an options
// file's root record describes.
#pragma once

#include <cstdint>

#include "persist/loadable.hpp"
#include "wyx/oo/strings.hpp"

namespace persist {

// Table entries "Name" (string) and "Tag" (32-bit integer, no effect); extra
// content "Left" and "Top" (a designer position, no effect).
class TNamedObject : public TLoadable {
 public:
  static const property_table_t& classProperties();
  const property_table_t& properties() const override { return classProperties(); }

  const wyx::UnicodeString& getName() const { return name_; }
  // Throws EComponentError "''%s'' ist kein gültiger Komponentenname" unless
  // isValidName(name); the name is then unchanged.
  void setName(const wyx::UnicodeString& name);
  std::int32_t getTag() const { return tag_; }
  void setTag(std::int32_t tag) { tag_ = tag; }
  std::int32_t getLeft() const { return left_; }
  std::int32_t getTop() const { return top_; }

  bool readExtraContent(const wyx::UnicodeString& name, OptionsReader& reader) override;

  // Empty, or a letter or "_" followed by letters, digits and "_" (letters
  // and digits of any script).
  static bool isValidName(const wyx::UnicodeString& name);

 private:
  wyx::UnicodeString name_;
  std::int32_t tag_ = 0;
  std::int32_t left_ = 0;
  std::int32_t top_ = 0;
};

}  // namespace persist
