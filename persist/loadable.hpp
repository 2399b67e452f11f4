// Loadable objects: objects whose properties an options file can reach by
// name. Each class describes its properties in a static table that chains to
// its base class's table; look-up searches the class's own entries first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <variant>

#include "wyx/oo/strings.hpp"

namespace persist {

class OptionsReader;
class TLoadable;

enum class PropertyKind { kInteger, kString, kObject, kBoolean };

// A property value travels as the alternative that matches its kind: integers
// as their 32 bits (an unsigned property keeps the bit pattern), strings as
// wide text, objects as a non-owning pointer (null for "no object"),
// Booleans as bool.
using property_value_t = std::variant<std::int32_t, wyx::UnicodeString, TLoadable*, bool>;

struct property_t {
  const char* name;  // ASCII, compared without regard to letter case
  PropertyKind kind;
  property_value_t (*get)(TLoadable& object);
  // Null for a read-only property. Called only with the kind's alternative.
  void (*set)(TLoadable& object, const property_value_t& value);
  // An object that belongs to its owner: a file may fill it through its
  // properties but never replace, clear or redirect the reference.
  bool owned = false;
};

struct property_table_t {
  const char* className;
  const property_table_t* base;  // null at the root of the hierarchy
  const property_t* entries;
  std::size_t count;
};

// Looks `name` up in `table`, then in its bases; null when no entry matches.
const property_t* findProperty(const property_table_t& table, const wyx::UnicodeString& name);

// True when two names are equal without regard to letter case: ASCII letters
// folded, other characters by Unicode case folding.
bool sameName(const wyx::UnicodeString& a, const wyx::UnicodeString& b);
bool sameName(const wyx::UnicodeString& a, const char* asciiName);

class TLoadable {
 public:
  virtual ~TLoadable() = default;

  // The table of this class itself (class name "TLoadable", no entries).
  static const property_table_t& classProperties();
  // The table of the most-derived class.
  virtual const property_table_t& properties() const { return classProperties(); }
  const char* className() const { return properties().className; }

  // Offered a name that no table entry holds. Either reads the value through
  // `reader` and returns true, or reads nothing and returns false (declines).
  // Throws the reader's exceptions for a value it cannot accept.
  virtual bool readExtraContent(const wyx::UnicodeString& name, OptionsReader& reader);

 protected:
  TLoadable() = default;
  TLoadable(const TLoadable&) = default;
  TLoadable& operator=(const TLoadable&) = default;
};

// Table entries over a class's getter and setter of a 32-bit integer (signed
// or unsigned); the value is stored as its 32 bits.
template <class C, class T, T (C::*Get)() const, void (C::*Set)(T)>
property_t integerProperty(const char* name) {
  static_assert(sizeof(T) == 4, "integer properties are 32 bits wide");
  return property_t{
      name, PropertyKind::kInteger,
      [](TLoadable& o) -> property_value_t {
        return static_cast<std::int32_t>((static_cast<const C&>(o).*Get)());
      },
      [](TLoadable& o, const property_value_t& v) {
        (static_cast<C&>(o).*Set)(static_cast<T>(std::get<std::int32_t>(v)));
      }};
}

// A table entry over a class's getter and setter of a Boolean.
template <class C, bool (C::*Get)() const, void (C::*Set)(bool)>
property_t booleanProperty(const char* name) {
  return property_t{
      name, PropertyKind::kBoolean,
      [](TLoadable& o) -> property_value_t { return (static_cast<const C&>(o).*Get)(); },
      [](TLoadable& o, const property_value_t& v) {
        (static_cast<C&>(o).*Set)(std::get<bool>(v));
      }};
}

}  // namespace persist
