#include "qirt/template_library.hpp"

#include <memory>

#include "wyx/io/runtime_stream.hpp"
#include "wyx/oo/exception.hpp"

namespace qirt {
namespace {

char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

void TemplateLibrary::add(std::string name, std::string text) {
  if (find(name) == nullptr) templates_.emplace_back(std::move(name), std::move(text));
}

const std::string* TemplateLibrary::find(const std::string& name) const {
  for (const auto& entry : templates_) {
    if (sameName(entry.first, name)) return &entry.second;
  }
  return nullptr;
}

wyx::oo::InterfacePtr<wyx::io::IStream> TemplateLibrary::open(const std::string& name) const {
  const std::string* text = find(name);
  if (text == nullptr) {
    throw wyx::oo::EResNotFound(wyx::oo::formatMessage("Ressource %s nicht gefunden", name));
  }
  auto runtimeStream = std::make_unique<wyx::io::RuntimeMemoryStream>(*text);
  wyx::oo::InterfacePtr<wyx::io::IStream> stream(new wyx::io::RuntimeStreamWrapper(runtimeStream.get(), 1));
  runtimeStream.release();  // owned by the wrapper from here on
  return stream;
}

}  // namespace qirt
