#include "persist/named.hpp"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include "persist/messages.hpp"
#include "persist/options_reader.hpp"
#include "wyx/oo/exception.hpp"

namespace persist {

namespace {

const property_t kNamedProperties[] = {
    {"Name", PropertyKind::kString,
     [](TLoadable& o) -> property_value_t {
       return static_cast<const TNamedObject&>(o).getName();
     },
     [](TLoadable& o, const property_value_t& v) {
       static_cast<TNamedObject&>(o).setName(std::get<wyx::UnicodeString>(v));
     }},
    integerProperty<TNamedObject, std::int32_t, &TNamedObject::getTag, &TNamedObject::setTag>(
        "Tag"),
};

bool isNameStart(UChar32 c) { return c == '_' || u_isalpha(c); }
bool isNamePart(UChar32 c) { return c == '_' || u_isalpha(c) || u_isdigit(c); }

}  // namespace

const property_table_t& TNamedObject::classProperties() {
  static const property_table_t table{"TNamedObject", &TLoadable::classProperties(),
                                      kNamedProperties, std::size(kNamedProperties)};
  return table;
}

bool TNamedObject::isValidName(const wyx::UnicodeString& name) {
  const char16_t* s = name.data();
  int32_t length = static_cast<int32_t>(name.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    bool first = i == 0;
    U16_NEXT(s, i, length, c);
    if (first ? !isNameStart(c) : !isNamePart(c)) return false;
  }
  return true;
}

void TNamedObject::setName(const wyx::UnicodeString& name) {
  if (!isValidName(name)) {
    throw wyx::oo::EComponentError(
        wyx::oo::formatMessage(msg::kInvalidName, wyx::toUtf8(name)));
  }
  name_ = name;
}

bool TNamedObject::readExtraContent(const wyx::UnicodeString& name, OptionsReader& reader) {
  if (sameName(name, "Left")) {
    left_ = reader.readInteger();
    return true;
  }
  if (sameName(name, "Top")) {
    top_ = reader.readInteger();
    return true;
  }
  return TLoadable::readExtraContent(name, reader);
}

}  // namespace persist
