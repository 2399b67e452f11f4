// Helpers shared by the tests of the options-file machinery. Linked only
// into test programs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "persist/binary_format.hpp"
#include "persist/loadable.hpp"
#include "wyx/oo/strings.hpp"

namespace persist::testing {

// The text form of the options file that the documentation works through:
// 12, 3 and three names, on an object named Options.
inline constexpr char kWorkedExampleText[] =
    "object Options: TPersistenceWrapper\n"
    "Persistent.MaxFormatParams = 12\n"
    "Persistent.MaxFixedParams = 3\n"
    "Persistent.FormatNames.Strings = (\n"
    "'printf'\n"
    "'sprintf'\n"
    "'my_log_printf')\n"
    "end\n";

// The text form converted to the binary form; throws what the converter throws.
std::string convertText(const std::string& text);

// Loads `bytes` (either form) into `target` as LoadPersistentFromStream does.
void loadBytes(const std::string& bytes, TLoadable* target);

// "Class: message" of the Exception-family error that `work` throws, or ""
// when it returns normally.
std::string errorOf(const std::function<void()>& work);

// Hexadecimal dump, two digits per byte separated by blanks.
std::string hex(const std::string& bytes);

// A file in the temporary directory with `bytes` as content, removed when
// the object goes.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const wyx::UnicodeString& path() const { return path_; }

 private:
  wyx::UnicodeString path_;
};

// Builds binary options files by hand, through the same put-helpers as the
// converter.
class BinaryBuilder {
 public:
  BinaryBuilder& signature() { return raw(std::string(kSignature, kSignatureSize)); }
  BinaryBuilder& byte(std::uint8_t b) { return putFixed8(&bytes_, b), *this; }
  BinaryBuilder& raw(const std::string& b) { return bytes_ += b, *this; }
  BinaryBuilder& shortText(const std::string& t) { return putShortText(&bytes_, t), *this; }
  BinaryBuilder& tag(ValueTag t) { return putTag(&bytes_, t), *this; }
  BinaryBuilder& fixed16(std::uint16_t v) { return putFixed16(&bytes_, v), *this; }
  BinaryBuilder& fixed32(std::uint32_t v) { return putFixed32(&bytes_, v), *this; }
  BinaryBuilder& fixed64(std::uint64_t v) { return putFixed64(&bytes_, v), *this; }
  // Signature, class name and object name.
  BinaryBuilder& root(const std::string& className, const std::string& name) {
    return signature().shortText(className).shortText(name);
  }
  // A property path.
  BinaryBuilder& path(const std::string& p) { return shortText(p); }
  BinaryBuilder& int8(std::int8_t v) { return tag(ValueTag::kInt8).byte(static_cast<std::uint8_t>(v)); }
  BinaryBuilder& string(const std::string& ansi) { return tag(ValueTag::kString).shortText(ansi); }
  // Ends the properties and the nested objects of the root.
  BinaryBuilder& endRoot() { return byte(kEndMarker).byte(kEndMarker); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace persist::testing
