#include "persist/persistence_loader.hpp"

#include <cstring>

#include "persist/messages.hpp"
#include "persist/options_reader.hpp"
#include "persist/text_converter.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/interface.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/platform/platform.hpp"

namespace persist {

namespace {

const property_t kWrapperProperties[] = {
    {"Persistent", PropertyKind::kObject,
     [](TLoadable& o) -> property_value_t {
       return static_cast<TPersistenceWrapper&>(o).getPersistent();
     },
     [](TLoadable& o, const property_value_t& v) {
       static_cast<TPersistenceWrapper&>(o).setPersistent(std::get<TLoadable*>(v));
     }},
};

[[noreturn]] void failOpen(const wyx::UnicodeString& fileName, int error) {
  throw wyx::oo::EFOpenError(wyx::oo::formatMessage(
      msg::kCannotOpenFile, wyx::toUtf8(wyx::platform::absolutePath(fileName)),
      wyx::toUtf8(wyx::platform::systemErrorText(error))));
}

// The first four bytes decide: FF first (a UTF-16LE byte-order mark
// included), the signature, or four zero bytes (an empty file too) mean the
// binary form; anything else is text. Bytes past the end count as zero.
bool isBinaryForm(wyx::io::IStream& source) {
  std::uint32_t start = source.getPosition();
  unsigned char head[kSignatureSize] = {};
  std::uint32_t have = 0;
  while (have < sizeof head) {
    std::uint32_t n = source.read(head + have, static_cast<std::uint32_t>(sizeof head - have));
    if (n == 0) break;
    have += n;
  }
  wyx::oo::checkStatus(source.setPosition(start));
  static const unsigned char kZeros[kSignatureSize] = {};
  return head[0] == 0xFF || std::memcmp(head, kSignature, sizeof head) == 0 ||
         std::memcmp(head, kZeros, sizeof head) == 0;
}

}  // namespace

const property_table_t& TPersistenceWrapper::classProperties() {
  static const property_table_t table{"TPersistenceWrapper", &TNamedObject::classProperties(),
                                      kWrapperProperties, std::size(kWrapperProperties)};
  return table;
}

void TPersistenceWrapper::setPersistent(TLoadable* target) {
  persistent_ = target;
  setName(target != nullptr ? wyx::fromUtf8(target->className()) : wyx::UnicodeString());
}

TPersistenceWrapper& persistenceWrapper() {
  // A thread_local object with a destructor would register it at first use,
  // and the C library ends the process when that registration runs out of
  // memory. A plain pointer needs no registration; the wrapper is meant to
  // live as long as the process anyway.
  thread_local TPersistenceWrapper* wrapper = nullptr;
  if (wrapper == nullptr) wrapper = new TPersistenceWrapper();
  return *wrapper;
}

void loadPersistentFromStream(wyx::io::IStream& source, TLoadable* target) {
  TPersistenceWrapper& wrapper = persistenceWrapper();
  wrapper.setPersistent(target);
  if (isBinaryForm(source)) {
    OptionsReader(source).readRootObject(wrapper);
    return;
  }
  // The whole text is converted before anything is applied, so a syntax
  // error leaves the target untouched.
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> binary(new wyx::io::MemoryStream());
  convertOptionsTextToBinary(source, *binary);
  wyx::oo::checkStatus(binary->setPosition(0));
  OptionsReader(*binary).readRootObject(wrapper);
}

void LoadPersistentFromFile(wyx::UnicodeString fileName, TLoadable* target) {
  wyx::platform::native_file_t file;
  if (!wyx::platform::openFile(wyx::platform::nativePath(fileName), false, &file)) {
    failOpen(fileName, wyx::platform::lastSystemError());
  }
  // The whole file is read before anything else: a read that fails part-way
  // must not pass for the end of a shorter file.
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> bytes(new wyx::io::MemoryStream());
  bool anyRead = false;
  int readError = 0;
  try {
    char chunk[kReadAheadSize];
    for (std::size_t got = 0;;) {
      if (!wyx::platform::readFile(file, chunk, sizeof chunk, &got)) {
        readError = wyx::platform::lastSystemError();
        break;
      }
      if (got == 0) break;
      anyRead = true;
      wyx::oo::checkStatus(bytes->writeBuffer(chunk, static_cast<std::uint32_t>(got)));
    }
  } catch (...) {
    wyx::platform::closeFile(file);
    throw;
  }
  wyx::platform::closeFile(file);  // read only: nothing to lose at close
  if (readError != 0) {
    // Some systems open a directory for reading; the first read tells.
    if (!anyRead) failOpen(fileName, readError);
    throw wyx::oo::EReadError(wyx::fromUtf8(msg::kReadError));
  }
  wyx::oo::checkStatus(bytes->setPosition(0));
  loadPersistentFromStream(*bytes, target);
}

}  // namespace persist
