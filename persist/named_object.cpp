#include "persist/named_object.hpp"

#include "persist/messages.hpp"
#include "persist/options_reader.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/unicode/unicode.hpp"

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

bool isNameStart(char32_t c) { return c == '_' || wyx::unicode::isLetter(c); }
bool isNamePart(char32_t c) {
  return c == '_' || wyx::unicode::isLetter(c) || wyx::unicode::isDecimalDigit(c);
}

}  // namespace

const property_table_t& TNamedObject::classProperties() {
  static const property_table_t table{"TNamedObject", &TLoadable::classProperties(),
                                      kNamedProperties, std::size(kNamedProperties)};
  return table;
}

bool TNamedObject::isValidName(const wyx::UnicodeString& name) {
  for (std::size_t i = 0; i < name.size();) {
    bool first = i == 0;
    char32_t c = wyx::unicode::nextUtf16(name.data(), i, name.size());
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
