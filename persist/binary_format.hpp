// The binary form of an options file, shared by the reader and by the
// text-to-binary converter. Every multi-byte number is little-endian.
//
//   file    := "TPF0" object
//   object  := [prefix] classname:short objectname:short
//              { path:short value } 00   -- property records
//              { object } 00             -- nested objects
//   prefix  := F0|flags [value]          -- the value (an integer) only with
//                                           kPrefixHasPosition
//   short   := len:u8 bytes[len]
//   value   := tag:u8 payload            -- see ValueTag
//
// For example the record of "Persistent.MaxFixedParams = 3":
//
//   19 'Persistent.MaxFixedParams' 02 03
//   ^len (25)                      ^tag 2 (8-bit integer), value 3
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace persist {

inline constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
inline constexpr std::uint32_t kSignatureSize = sizeof kSignature;

// An object record starts with a prefix byte only if a flag is set, or, with
// no flags, before a class name whose length byte would read as a prefix.
inline constexpr std::uint8_t kPrefixMarker = 0xF0;
inline constexpr std::uint8_t kPrefixFlagMask = 0x0F;
inline constexpr std::uint8_t kPrefixInherited = 1;
inline constexpr std::uint8_t kPrefixHasPosition = 2;
inline constexpr std::uint8_t kPrefixInline = 4;

// A short text is a length byte and at most this many bytes.
inline constexpr std::uint32_t kMaxShortText = 255;

// Ends property records, nested objects, lists, collections and collection
// items; the same byte is the null value.
inline constexpr std::uint8_t kEndMarker = 0;
// Starts each collection item, after its optional order position.
inline constexpr std::uint8_t kItemMarker = 1;

// The buffer size of the reader.
inline constexpr std::uint32_t kReadAheadSize = 4096;

// One tag byte before each value; the payload follows.
enum class ValueTag : std::uint8_t {
  kNull = 0,          // no payload; also ends a list
  kList = 1,          // values, then kNull
  kInt8 = 2,          // 1 byte, signed
  kInt16 = 3,         // 2 bytes, signed
  kInt32 = 4,         // 4 bytes, signed
  kExtended = 5,      // 10 bytes, x87 80-bit extended precision
  kString = 6,        // short text, default code page
  kIdent = 7,         // short text, UTF-8
  kFalse = 8,         // no payload
  kTrue = 9,          // no payload
  kBinary = 10,       // u32 length, bytes
  kSet = 11,          // short texts ended by an empty one
  kLongString = 12,   // u32 length, bytes in the default code page
  kNil = 13,          // no payload
  kCollection = 14,   // items, then kEndMarker
  kSingle = 15,       // 4 bytes, IEEE single
  kCurrency = 16,     // 8 bytes, signed, units of 1/10000
  kDate = 17,         // 8 bytes, IEEE double
  kWideString = 18,   // u32 count of UTF-16LE units, the units
  kInt64 = 19,        // 8 bytes, signed
  kUtf8String = 20,   // u32 length, UTF-8 bytes
  kDouble = 21,       // 8 bytes, IEEE double; read only, never written
};

inline constexpr std::uint32_t kExtendedSize = 10;

// The get-helpers parse a value from the front of `*input` and advance it;
// on short input they return false and leave `*input` as it was.

inline bool getFixed8(std::string_view* input, std::uint8_t* value) {
  if (input->empty()) return false;
  *value = static_cast<std::uint8_t>((*input)[0]);
  input->remove_prefix(1);
  return true;
}

template <class T>
inline bool getFixedLE(std::string_view* input, T* value) {
  if (input->size() < sizeof(T)) return false;
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    bits |= std::uint64_t{static_cast<std::uint8_t>((*input)[i])} << (8 * i);
  }
  *value = static_cast<T>(bits);
  input->remove_prefix(sizeof(T));
  return true;
}

inline bool getFixed16(std::string_view* input, std::uint16_t* value) {
  return getFixedLE(input, value);
}
inline bool getFixed32(std::string_view* input, std::uint32_t* value) {
  return getFixedLE(input, value);
}
inline bool getFixed64(std::string_view* input, std::uint64_t* value) {
  return getFixedLE(input, value);
}

// A length byte and that many bytes; `*text` views into the input.
inline bool getShortText(std::string_view* input, std::string_view* text) {
  std::string_view in = *input;
  std::uint8_t length;
  if (!getFixed8(&in, &length) || in.size() < length) return false;
  *text = in.substr(0, length);
  in.remove_prefix(length);
  *input = in;
  return true;
}

// The put-helpers append to `*dst`.

inline void putFixed8(std::string* dst, std::uint8_t value) {
  dst->push_back(static_cast<char>(value));
}

template <class T>
inline void putFixedLE(std::string* dst, T value) {
  auto bits = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    dst->push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
  }
}

inline void putFixed16(std::string* dst, std::uint16_t value) { putFixedLE(dst, value); }
inline void putFixed32(std::string* dst, std::uint32_t value) { putFixedLE(dst, value); }
inline void putFixed64(std::string* dst, std::uint64_t value) { putFixedLE(dst, value); }

inline void putTag(std::string* dst, ValueTag tag) {
  putFixed8(dst, static_cast<std::uint8_t>(tag));
}

// Cuts `text` to kMaxShortText bytes.
inline void putShortText(std::string* dst, std::string_view text) {
  if (text.size() > kMaxShortText) text = text.substr(0, kMaxShortText);
  putFixed8(dst, static_cast<std::uint8_t>(text.size()));
  dst->append(text.data(), text.size());
}

}  // namespace persist
