#include "app/type_name.hpp"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace korven {
namespace {

void eraseAll(std::string& text, const std::string& piece) {
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at)) {
    text.erase(at, piece.size());
  }
}

// "[abi:cxx11]" and the like: versioning tags, not part of the source name.
void eraseAbiTags(std::string& text) {
  for (std::size_t at = text.find("[abi:"); at != std::string::npos; at = text.find("[abi:", at)) {
    std::size_t close = text.find(']', at);
    if (close == std::string::npos) return;
    text.erase(at, close + 1 - at);
  }
}

}  // namespace

std::string qualifiedClassName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  if (status != 0 || !demangled) return type.name();
  std::string name = demangled.get();
  eraseAbiTags(name);
  // Inline namespaces of the standard libraries.
  eraseAll(name, "__cxx11::");
  eraseAll(name, "__1::");
  return name;
}

}  // namespace korven
