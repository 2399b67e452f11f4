#include "app/type_name.hpp"

#include <cstring>
#include <initializer_list>

namespace korven {
namespace {

// Appends to a fixed buffer, cutting what does not fit.
class NameWriter {
 public:
  explicit NameWriter(class_name_t* name) : name_(name) { name_->text[0] = '\0'; }
  void append(const char* text, std::size_t length) {
    std::size_t room = kMaxClassName - 1 - length_;
    if (length > room) length = room;
    std::memcpy(name_->text + length_, text, length);
    length_ += length;
    name_->text[length_] = '\0';
  }
  void append(const char* text) { append(text, std::strlen(text)); }

 private:
  class_name_t* name_;
  std::size_t length_ = 0;
};

// Inline namespaces of the standard libraries: versioning, not source.
bool isInlineNamespace(const char* id, std::size_t length) {
  return (length == 7 && std::memcmp(id, "__cxx11", 7) == 0) ||
         (length == 3 && std::memcmp(id, "__1", 3) == 0);
}

// Reads the length-prefixed identifier at `*p`; null when there is none.
const char* sourceName(const char** p, std::size_t* length) {
  std::size_t n = 0;
  if (**p < '0' || **p > '9') return nullptr;
  while (**p >= '0' && **p <= '9') n = n * 10 + static_cast<std::size_t>(*(*p)++ - '0');
  if (n == 0 || std::strlen(*p) < n) return nullptr;
  const char* id = *p;
  *p += n;
  *length = n;
  return id;
}

// The C++ ABI of g++ and clang spells a class name "St9bad_alloc" or
// "N3wyx2io16EStreamOpenErrorE", with "B<tag>" for an ABI tag. Anything else
// (templates, local classes) is not decoded.
bool demangleClassName(const char* mangled, NameWriter* out) {
  const char* p = mangled;
  const bool nested = *p == 'N';
  if (nested) ++p;
  bool first = true;
  if (p[0] == 'S' && p[1] == 't') {
    out->append("std");
    first = false;
    p += 2;
  }
  for (;;) {
    if (*p == 'B') {  // an ABI tag belongs to the name before it
      ++p;
      std::size_t length;
      if (sourceName(&p, &length) == nullptr) return false;
      continue;
    }
    std::size_t length;
    const char* id = sourceName(&p, &length);
    if (id == nullptr) break;
    if (isInlineNamespace(id, length)) continue;
    if (!first) out->append("::");
    out->append(id, length);
    first = false;
  }
  if (nested && *p++ != 'E') return false;
  return !first && *p == '\0';
}

}  // namespace

class_name_t qualifiedClassName(const std::type_info& type) noexcept {
  class_name_t name;
  NameWriter writer(&name);
  const char* raw = type.name();
  // Compilers that name the type in source form say what kind it is.
  for (const char* kind : {"class ", "struct "}) {
    if (std::strncmp(raw, kind, std::strlen(kind)) == 0) {
      writer.append(raw + std::strlen(kind));
      return name;
    }
  }
  if (!demangleClassName(raw, &writer)) {
    NameWriter plain(&name);
    plain.append(raw);
  }
  return name;
}

}  // namespace korven
