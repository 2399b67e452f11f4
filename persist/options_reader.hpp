// OptionsReader, the reader of an options file's binary form, and the
// application of its property records to a named root object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "persist/binary_format.hpp"
#include "wyx/oo/strings.hpp"

namespace wyx::io {
class IStream;
}

namespace persist {

class TNamedObject;

// Reads from `source` through a read-ahead buffer; `source` must outlive the
// reader. Every operation throws EReadError "Stream-Lesefehler" when the
// stream ends before it has what it needs, and never allocates more than the
// stream actually delivers.
class OptionsReader {
 public:
  explicit OptionsReader(wyx::io::IStream& source);
  OptionsReader(const OptionsReader&) = delete;
  OptionsReader& operator=(const OptionsReader&) = delete;

  // Four bytes that must be the signature, else EReadError
  // "Ungültiges Stream-Format".
  void readSignature();
  // The object prefix byte if the next byte is one (and the order position
  // that flag kPrefixHasPosition announces); returns the flags, 0 if none.
  std::uint8_t readPrefix();
  // A length byte and that many bytes, undecoded.
  std::string readShortText();

  ValueTag readValueTag();
  ValueTag peekValueTag();
  // True when the next tag ends a list; consumes nothing.
  bool endOfList();
  // Tag kList, else EReadError "Ungültiger Eigenschaftswert".
  void readListStart();
  // Tag kNull, else EReadError "Ungültiger Eigenschaftswert".
  void readListEnd();

  // Tags 2, 3 and 4, sign-extended; anything else is an invalid value.
  std::int32_t readInteger();
  // Tags 8 (false) and 9 (true); anything else is an invalid value.
  bool readBoolean();
  // Tags 6 and 12 (default code page), 18 (UTF-16), 20 (UTF-8).
  wyx::UnicodeString readString();
  // Tag 7, or the words of tags 0, 8 and 9 ("Null", "False", "True").
  std::string readIdentifier();

  // Reads the root object record (signature included) into `root`: renames
  // it to the file's object name and applies every property record. Holds the
  // process-wide load lock from after the signature to the end.
  void readRootObject(TNamedObject& root);

 private:
  // Makes at least `count` (<= kReadAheadSize) bytes available at cursor_.
  void require(std::uint32_t count);
  std::uint8_t peekByte();
  std::uint8_t readByte();
  // Appends `count` bytes to `out`, reading them in chunks.
  void readBytes(std::uint64_t count, std::string* out);
  std::string readLongBytes();
  [[noreturn]] void failNestedObject();

  wyx::io::IStream& source_;
  char buffer_[kReadAheadSize];
  std::string_view cursor_;  // the unread bytes of buffer_
};

}  // namespace persist
