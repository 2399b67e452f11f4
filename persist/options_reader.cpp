#include "persist/options_reader.hpp"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "persist/loadable.hpp"
#include "persist/messages.hpp"
#include "persist/named_object.hpp"
#include "wyx/io/stream.hpp"
#include "wyx/oo/exception.hpp"

namespace persist {

namespace {

[[noreturn]] void failRead() { throw wyx::oo::EReadError(wyx::fromUtf8(msg::kReadError)); }
[[noreturn]] void failInvalidValue() {
  throw wyx::oo::EReadError(wyx::fromUtf8(msg::kInvalidPropertyValue));
}

// Serialises every read of a root object in the process. The wrapper is per
// thread (persistenceWrapper), but what a load writes into need not be: two
// threads may load into one target, or into objects that its references
// reach, and a loadable's setters take no lock of their own. Under this lock
// the records of one load are applied as a whole, never interleaved with
// another load's.
std::mutex& loadMutex() {
  static std::mutex mutex;
  return mutex;
}

// An object entry named by an identifier; resolved once all records are read.
struct pending_reference_t {
  TLoadable* object;
  const property_t* entry;
  std::string name;
};

std::vector<std::string> splitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t dot = path.find('.', start);
    parts.push_back(path.substr(start, dot == std::string::npos ? dot : dot - start));
    if (dot == std::string::npos) return parts;
    start = dot + 1;
  }
}

// Applies property records to one root object.
class RecordApplier {
 public:
  RecordApplier(OptionsReader& reader, TNamedObject& root) : reader_(reader), root_(root) {}

  void applyRecord();
  void resolveReferences();

 private:
  void applyPath(const std::string& path);
  void readValue(TLoadable& object, const property_t& entry);
  void readObjectValue(TLoadable& object, const property_t& entry);
  [[noreturn]] void failUnknown(const std::string& name) const {
    throw wyx::oo::EReadError(wyx::oo::formatMessage(msg::kUnknownProperty, name));
  }

  OptionsReader& reader_;
  TNamedObject& root_;
  std::vector<pending_reference_t> pending_;
};

// Every failure after the path is read is reported once more with the
// object's name and the whole path in front of it.
void RecordApplier::applyRecord() {
  std::string path = reader_.readShortText();
  try {
    applyPath(path);
  } catch (const wyx::oo::Exception& e) {
    std::string rootName =
        root_.getName().empty() ? root_.className() : wyx::toUtf8(root_.getName());
    throw wyx::oo::EReadError(wyx::oo::formatMessage(msg::kErrorReading, rootName, ".", path,
                                                     wyx::toUtf8(e.message())));
  }
}

void RecordApplier::applyPath(const std::string& path) {
  std::vector<std::string> parts = splitPath(path);
  TLoadable* current = &root_;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const property_t* entry = findProperty(current->properties(), wyx::fromUtf8(parts[i]));
    if (entry == nullptr) {
      if (current->readExtraContent(wyx::fromUtf8(path), reader_)) return;
      failUnknown(path);
    }
    TLoadable* next = nullptr;
    if (entry->kind == PropertyKind::kObject) next = std::get<TLoadable*>(entry->get(*current));
    if (next == nullptr) {
      throw wyx::oo::EReadError(wyx::fromUtf8(msg::kInvalidPropertyPath));
    }
    current = next;
  }
  const std::string& last = parts.back();
  if (const property_t* entry = findProperty(current->properties(), wyx::fromUtf8(last))) {
    readValue(*current, *entry);
  } else if (!current->readExtraContent(wyx::fromUtf8(last), reader_)) {
    failUnknown(last);
  }
}

void RecordApplier::readValue(TLoadable& object, const property_t& entry) {
  // An owned object may be filled through its own properties, never replaced.
  if (entry.kind == PropertyKind::kObject && entry.owned) failInvalidValue();
  if (entry.set == nullptr) {
    throw wyx::oo::EReadError(wyx::fromUtf8(msg::kReadOnlyProperty));
  }
  switch (entry.kind) {
    case PropertyKind::kInteger:
      entry.set(object, reader_.readInteger());
      return;
    case PropertyKind::kString:
      entry.set(object, reader_.readString());
      return;
    case PropertyKind::kBoolean:
      entry.set(object, reader_.readBoolean());
      return;
    case PropertyKind::kObject:
      readObjectValue(object, entry);
      return;
  }
}

// nil clears the reference; a name becomes a pending reference. No object in
// this system is a collection, so collection values are refused.
void RecordApplier::readObjectValue(TLoadable& object, const property_t& entry) {
  switch (reader_.peekValueTag()) {
    case ValueTag::kNil:
      reader_.readValueTag();
      entry.set(object, static_cast<TLoadable*>(nullptr));
      return;
    case ValueTag::kIdent:
    case ValueTag::kNull:
    case ValueTag::kFalse:
    case ValueTag::kTrue:
      pending_.push_back({&object, &entry, reader_.readIdentifier()});
      return;
    default:
      failInvalidValue();
  }
}

// "Owner" is the root itself; a dotted name would lie in another root and
// is left alone; any other name finds nothing.
void RecordApplier::resolveReferences() {
  for (const pending_reference_t& ref : pending_) {
    if (sameName(wyx::fromUtf8(ref.name), "Owner")) {
      ref.entry->set(*ref.object, static_cast<TLoadable*>(&root_));
    } else if (ref.name.find('.') == std::string::npos) {
      ref.entry->set(*ref.object, static_cast<TLoadable*>(nullptr));
    }
  }
}

}  // namespace

OptionsReader::OptionsReader(wyx::io::IStream& source) : source_(source), cursor_(buffer_, 0) {}

void OptionsReader::require(std::uint32_t count) {
  if (cursor_.size() >= count) return;
  std::size_t have = cursor_.size();
  std::memmove(buffer_, cursor_.data(), have);
  cursor_ = std::string_view(buffer_, have);
  while (have < count) {
    std::uint32_t n = source_.read(buffer_ + have, static_cast<std::uint32_t>(kReadAheadSize - have));
    if (n == 0) failRead();
    have += n;
    cursor_ = std::string_view(buffer_, have);
  }
}

std::uint8_t OptionsReader::peekByte() {
  require(1);
  return static_cast<std::uint8_t>(cursor_[0]);
}

std::uint8_t OptionsReader::readByte() {
  require(1);
  std::uint8_t value = 0;
  getFixed8(&cursor_, &value);
  return value;
}

// Long payloads are taken chunk by chunk, so a length field that points past
// the end fails after reading what is there, never by reserving its size.
void OptionsReader::readBytes(std::uint64_t count, std::string* out) {
  while (count > 0) {
    if (cursor_.empty()) require(1);
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, cursor_.size()));
    out->append(cursor_.data(), n);
    cursor_.remove_prefix(n);
    count -= n;
  }
}

std::string OptionsReader::readLongBytes() {
  require(4);
  std::uint32_t length = 0;
  getFixed32(&cursor_, &length);
  std::string bytes;
  readBytes(length, &bytes);
  return bytes;
}

void OptionsReader::readSignature() {
  require(kSignatureSize);
  if (std::memcmp(cursor_.data(), kSignature, kSignatureSize) != 0) {
    throw wyx::oo::EReadError(wyx::fromUtf8(msg::kInvalidStreamFormat));
  }
  cursor_.remove_prefix(kSignatureSize);
}

std::uint8_t OptionsReader::readPrefix() {
  if ((peekByte() & kPrefixMarker) != kPrefixMarker) return 0;
  std::uint8_t flags = readByte() & kPrefixFlagMask;
  if (flags & kPrefixHasPosition) {
    // The converter writes a large position as a 64-bit integer; it has no
    // effect, so any integer width is accepted here.
    if (peekValueTag() == ValueTag::kInt64) {
      readValueTag();
      require(8);
      cursor_.remove_prefix(8);
    } else {
      readInteger();
    }
  }
  return flags;
}

std::string OptionsReader::readShortText() {
  std::size_t length = peekByte();
  require(static_cast<std::uint32_t>(1 + length));
  std::string_view text;
  getShortText(&cursor_, &text);
  return std::string(text);
}

ValueTag OptionsReader::readValueTag() { return static_cast<ValueTag>(readByte()); }
ValueTag OptionsReader::peekValueTag() { return static_cast<ValueTag>(peekByte()); }
bool OptionsReader::endOfList() { return peekValueTag() == ValueTag::kNull; }

void OptionsReader::readListStart() {
  if (readValueTag() != ValueTag::kList) failInvalidValue();
}

void OptionsReader::readListEnd() {
  if (readValueTag() != ValueTag::kNull) failInvalidValue();
}

std::int32_t OptionsReader::readInteger() {
  switch (readValueTag()) {
    case ValueTag::kInt8: {
      require(1);
      std::uint8_t v = 0;
      getFixed8(&cursor_, &v);
      return static_cast<std::int8_t>(v);
    }
    case ValueTag::kInt16: {
      require(2);
      std::uint16_t v = 0;
      getFixed16(&cursor_, &v);
      return static_cast<std::int16_t>(v);
    }
    case ValueTag::kInt32: {
      require(4);
      std::uint32_t v = 0;
      getFixed32(&cursor_, &v);
      return static_cast<std::int32_t>(v);
    }
    default:
      failInvalidValue();
  }
}

bool OptionsReader::readBoolean() {
  switch (readValueTag()) {
    case ValueTag::kFalse:
      return false;
    case ValueTag::kTrue:
      return true;
    default:
      failInvalidValue();
  }
}

wyx::UnicodeString OptionsReader::readString() {
  switch (readValueTag()) {
    case ValueTag::kString:
      return wyx::toWideString(readShortText(), wyx::kCodePageAnsi);
    case ValueTag::kLongString:
      return wyx::toWideString(readLongBytes(), wyx::kCodePageAnsi);
    case ValueTag::kUtf8String:
      return wyx::fromUtf8(readLongBytes());
    case ValueTag::kWideString: {
      require(4);
      std::uint32_t units = 0;
      getFixed32(&cursor_, &units);
      std::string bytes;
      readBytes(std::uint64_t{units} * 2, &bytes);
      wyx::UnicodeString text;
      text.reserve(units);
      std::string_view in(bytes);
      std::uint16_t unit = 0;
      while (getFixed16(&in, &unit)) text.push_back(static_cast<char16_t>(unit));
      return text;
    }
    default:
      failInvalidValue();
  }
}

std::string OptionsReader::readIdentifier() {
  switch (readValueTag()) {
    case ValueTag::kIdent:
      return readShortText();
    case ValueTag::kNull:
      return "Null";
    case ValueTag::kFalse:
      return "False";
    case ValueTag::kTrue:
      return "True";
    default:
      failInvalidValue();
  }
}

[[noreturn]] void OptionsReader::failNestedObject() {
  readPrefix();
  std::string className = readShortText();
  throw wyx::oo::EClassNotFound(wyx::oo::formatMessage(msg::kClassNotFound, className));
}

void OptionsReader::readRootObject(TNamedObject& root) {
  readSignature();
  std::lock_guard<std::mutex> lock(loadMutex());
  readPrefix();      // flags and position mean nothing for the root
  readShortText();   // any class name is accepted
  root.setName(wyx::fromUtf8(readShortText()));
  RecordApplier applier(*this, root);
  while (peekByte() != kEndMarker) applier.applyRecord();
  readByte();
  while (peekByte() != kEndMarker) failNestedObject();
  readByte();
  applier.resolveReferences();
}

}  // namespace persist
