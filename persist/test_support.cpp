#include "persist/test_support.hpp"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "persist/persistence_loader.hpp"
#include "persist/text_converter.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/interface.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/platform/platform.hpp"

namespace persist::testing {

namespace {

wyx::oo::InterfacePtr<wyx::io::MemoryStream> streamOver(const std::string& bytes) {
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> stream(new wyx::io::MemoryStream());
  wyx::oo::checkStatus(stream->writeBuffer(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
  wyx::oo::checkStatus(stream->setPosition(0));
  return stream;
}

}  // namespace

std::string convertText(const std::string& text) {
  auto input = streamOver(text);
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> output(new wyx::io::MemoryStream());
  convertOptionsTextToBinary(*input, *output);
  return std::string(output->data(), output->getSize());
}

void loadBytes(const std::string& bytes, TLoadable* target) {
  auto input = streamOver(bytes);
  loadPersistentFromStream(*input, target);
}

std::string errorOf(const std::function<void()>& work) {
  try {
    work();
  } catch (const wyx::oo::Exception& e) {
    return std::string(e.className()) + ": " + wyx::toUtf8(e.message());
  }
  return "";
}

std::string hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

TempFile::TempFile(const std::string& bytes) {
  const char* dir = std::getenv("TMPDIR");
  std::string directory = std::string(dir && *dir ? dir : "/tmp") + "/";
  wyx::platform::native_path_t path;
  wyx::platform::native_file_t file;
  if (!wyx::platform::createTempFile(wyx::platform::nativePath(wyx::fromUtf8(directory)), {},
                                     &path, &file) ||
      !wyx::platform::writeFile(file, bytes.data(), bytes.size()) ||
      !wyx::platform::closeFile(file)) {
    throw std::runtime_error("cannot write a temporary file");
  }
  path_ = wyx::platform::fromNativePath(path);
}

TempFile::~TempFile() { wyx::platform::removeFile(wyx::platform::nativePath(path_)); }

}  // namespace persist::testing
