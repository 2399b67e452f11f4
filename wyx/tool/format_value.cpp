#include "wyx/tool/format_value.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "wyx/oo/strings.hpp"
#include "wyx/tool/format_parser.hpp"
#include "wyx/tool/macro_exception.hpp"
#include "wyx/tool/text_scan.hpp"

namespace wyx::tool {

namespace {

constexpr char kInvalidSpecifier[] = "Invalid format specifier ";
// The character a character conversion prints for an empty value.
constexpr char kEmptyCharacter = 0x7F;

[[noreturn]] void rejectSpecifier(const std::string& spec) {
  throw EMacroException(kInvalidSpecifier + ('"' + spec + '"'));
}

enum class ValueKind {
  kNarrowCharacter,
  kWideCharacter,
  kNarrowText,
  kWideText,
  kInt16,
  kInt32,
  kInt64,
  kDouble,
  kLongDouble,
  kUnsupported,
};

ValueKind valueKind(std::uint32_t code) {
  const std::uint32_t size = specifierSize(code);
  const bool byAddress = specifierCategory(code) != 0;
  if ((specifierAttributes(code) & kAttrNoSize) != 0) return ValueKind::kUnsupported;  // "n", "p"
  switch (specifierType(code)) {
    case kArgCharacter:
      if (size <= 1) return byAddress ? ValueKind::kNarrowText : ValueKind::kNarrowCharacter;
      return byAddress ? ValueKind::kWideText : ValueKind::kWideCharacter;
    case kArgInteger: {
      constexpr ValueKind kBySize[] = {ValueKind::kNarrowCharacter, ValueKind::kInt16,
                                       ValueKind::kInt32, ValueKind::kInt64};
      return kBySize[size];
    }
    case kArgFloat:
      return size == 3 ? ValueKind::kLongDouble : ValueKind::kDouble;
    default:
      return ValueKind::kUnsupported;
  }
}

// The one conversion of a validated specifier, taken apart. Only the parts
// the C library agrees on travel on: flags, width, precision and the
// conversion letter. Size letters are chosen anew from the value kind, so
// the platform's own reading of "I64", "F" or "N" never matters.
struct Conversion {
  std::size_t begin = 0;  // the '%'
  std::size_t end = 0;    // one past the conversion letter
  std::string flags;      // from "-+ #0", in their order
  bool hasWidth = false;
  unsigned width = 0;
  bool hasPrecision = false;
  unsigned precision = 0;
  char letter = 0;

  bool leftAligned() const { return flags.find('-') != std::string::npos; }
  bool plain() const { return flags.empty() && !hasWidth && !hasPrecision; }
};

// Reads a decimal run; returns false when it exceeds kMaxFieldWidth.
bool readNumber(const char* text, std::size_t* at, std::size_t end, unsigned* value) {
  *value = 0;
  while (*at < end && text[*at] >= '0' && text[*at] <= '9') {
    *value = *value * 10 + static_cast<unsigned>(text[*at] - '0');
    if (*value > kMaxFieldWidth) return false;
    ++*at;
  }
  return true;
}

// Splits the flag/width/precision run [from, to) of a specifier. Returns
// false for a run the C formatter would read differently from the class
// table: positional "$", flags after the width, a second '.'.
bool splitFieldRun(const char* text, std::size_t from, std::size_t to, Conversion* out) {
  // 'F' and 'N' are pointer-size letters of segmented platforms; they mean
  // nothing here and are dropped wherever they stand.
  std::string run;
  for (std::size_t i = from; i < to; ++i) {
    if (text[i] != 'F' && text[i] != 'N') run += text[i];
  }
  std::size_t at = 0;
  while (at < run.size() && std::strchr("-+ #0", run[at]) != nullptr) out->flags += run[at++];
  if (at < run.size() && run[at] >= '1' && run[at] <= '9') {
    out->hasWidth = true;
    if (!readNumber(run.c_str(), &at, run.size(), &out->width)) return false;
  }
  if (at < run.size() && run[at] == '.') {
    ++at;
    out->hasPrecision = true;
    if (!readNumber(run.c_str(), &at, run.size(), &out->precision)) return false;
  }
  return at == run.size();
}

// Finds and splits the single conversion of `spec`, which FormatParser has
// already accepted as exactly one well-formed specifier.
bool splitConversion(const std::string& spec, Conversion* out) {
  const char* text = spec.c_str();
  std::size_t at = 0;
  while (text[at] != '%' || text[at + 1] == '%') {
    if (text[at] == '\0') return false;
    at += (text[at] == '%') ? 2 : 1;
  }
  out->begin = at++;
  const std::size_t runBegin = at;
  while (characterClass(charClassTable[static_cast<unsigned char>(text[at])]) == kClassFlag) ++at;
  const std::size_t runEnd = at;
  // Size letters and "I" digits: validated already, replaced below.
  while (characterClass(charClassTable[static_cast<unsigned char>(text[at])]) != kClassConversion)
    ++at;
  out->letter = text[at];
  out->end = at + 1;
  return splitFieldRun(text, runBegin, runEnd, out);
}

// Literal text around the conversion: only plain bytes and "%%" pairs.
void appendLiteral(const char* text, std::size_t from, std::size_t to, std::string* out) {
  for (std::size_t i = from; i < to; ++i) {
    out->push_back(text[i]);
    if (text[i] == '%') ++i;
  }
}

std::string fieldPrefix(const Conversion& conversion) {
  std::string format = "%" + conversion.flags;
  if (conversion.hasWidth) format += std::to_string(conversion.width);
  if (conversion.hasPrecision) format += "." + std::to_string(conversion.precision);
  return format;
}

// Pads `text` (UTF-8 holding `characters` characters) to the width with
// blanks, as the C formatter pads strings.
void appendPadded(const std::string& text, std::size_t characters, const Conversion& conversion,
                  std::string* out) {
  const std::size_t pad =
      (conversion.hasWidth && conversion.width > characters) ? conversion.width - characters : 0;
  if (!conversion.leftAligned()) out->append(pad, ' ');
  out->append(text);
  if (conversion.leftAligned()) out->append(pad, ' ');
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

void appendWideText(const std::string& value, const Conversion& conversion, std::string* out) {
  UnicodeString wide = toWideString(value, kCodePageAnsi);
  wide.resize(std::char_traits<char16_t>::length(wide.c_str()));  // a C string ends at NUL
  std::size_t characters = 0;
  std::size_t units = 0;
  while (units < wide.size() && (!conversion.hasPrecision || characters < conversion.precision)) {
    units += (isHighSurrogate(wide[units]) && units + 1 < wide.size()) ? 2 : 1;
    ++characters;
  }
  wide.resize(units);
  appendPadded(toUtf8(wide), characters, conversion, out);
}

void appendWideCharacter(const std::string& value, const Conversion& conversion, std::string* out) {
  const UnicodeString wide = toWideString(value, kCodePageAnsi);
  const UnicodeString first(1, wide.empty() ? char16_t(kEmptyCharacter) : wide[0]);
  appendPadded(toUtf8(first), 1, conversion, out);
}

// printf's "%d" of one int without the C formatter, which costs more than
// the rest of an expansion: the sign, at least `precision` digits (none for
// 0 with precision 0), then blanks or zeros up to the width.
void appendDecimal(int value, const Conversion& conversion, std::string* out) {
  const auto hasFlag = [&](char flag) { return conversion.flags.find(flag) != std::string::npos; };
  char digits[10];
  char* const end = digits + sizeof digits;
  char* first = end;
  std::uint32_t magnitude =
      value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (conversion.hasPrecision && conversion.precision == 0 && value == 0) first = end;
  const std::size_t count = static_cast<std::size_t>(end - first);
  const std::size_t zeros =
      conversion.hasPrecision && conversion.precision > count ? conversion.precision - count : 0;
  const char sign = value < 0 ? '-' : hasFlag('+') ? '+' : hasFlag(' ') ? ' ' : '\0';
  const std::size_t body = (sign != '\0' ? 1 : 0) + zeros + count;
  const std::size_t pad =
      conversion.hasWidth && conversion.width > body ? conversion.width - body : 0;
  const bool left = conversion.leftAligned();
  const bool zeroPadded = hasFlag('0') && !left && !conversion.hasPrecision;
  if (!left && !zeroPadded) out->append(pad, ' ');
  if (sign != '\0') out->push_back(sign);
  if (zeroPadded) out->append(pad, '0');
  out->append(zeros, '0');
  out->append(first, count);
  if (left) out->append(pad, ' ');
}

void appendValue(ValueKind kind, const std::string& value, const Conversion& conversion,
                 std::string* out) {
  if (kind == ValueKind::kInt32 && (conversion.letter == 'd' || conversion.letter == 'i')) {
    return appendDecimal(readInt(value, IntOverflow::kWrap), conversion, out);
  }
  const std::string field = fieldPrefix(conversion);
  const char letter[2] = {conversion.letter, '\0'};
  switch (kind) {
    case ValueKind::kNarrowCharacter: {
      const int character = value.empty() ? kEmptyCharacter : value[0];
      // An integer conversion of the 8-bit size prints the byte as one.
      const char* size = (conversion.letter == 'c' || conversion.letter == 'C') ? "" : "hh";
      const char* shown = (conversion.letter == 'C') ? "c" : letter;
      out->append(formatString((field + size + shown).c_str(), character));
      break;
    }
    case ValueKind::kInt16:
      out->append(formatString((field + "h" + letter).c_str(), readInt(value, IntOverflow::kWrap)));
      break;
    case ValueKind::kInt32:
      out->append(formatString((field + letter).c_str(), readInt(value, IntOverflow::kWrap)));
      break;
    case ValueKind::kInt64:
      out->append(formatString((field + "ll" + letter).c_str(),
                               static_cast<long long>(std::strtoll(value.c_str(), nullptr, 0))));
      break;
    case ValueKind::kDouble:
      out->append(formatString((field + letter).c_str(), std::strtod(value.c_str(), nullptr)));
      break;
    case ValueKind::kLongDouble:
      out->append(
          formatString((field + "L" + letter).c_str(), std::strtold(value.c_str(), nullptr)));
      break;
    case ValueKind::kNarrowText:
      if (conversion.plain()) {
        out->append(value.c_str());
      } else {
        out->append(formatString((field + "s").c_str(), value.c_str()));
      }
      break;
    case ValueKind::kWideText:
      appendWideText(value, conversion, out);
      break;
    case ValueKind::kWideCharacter:
      appendWideCharacter(value, conversion, out);
      break;
    case ValueKind::kUnsupported:
      break;
  }
}

}  // namespace

std::string formatValue(const std::string& spec, const std::string& value) {
  // The common case needs neither the parser nor the C formatter.
  if (spec.size() == 2 && spec[0] == '%' && spec[1] == 's') return std::string(value.c_str());

  FormatParser parser(spec.c_str(), charClassTable, false);
  const std::uint32_t code = parser.next();
  if (code == kSpecifierEnd || specifierType(code) == kArgInvalid) rejectSpecifier(spec);
  if (parser.next() != kSpecifierEnd) rejectSpecifier(spec);
  const ValueKind kind = valueKind(code);
  Conversion conversion;
  if (kind == ValueKind::kUnsupported || !splitConversion(spec, &conversion)) {
    rejectSpecifier(spec);
  }

  const char* text = spec.c_str();
  std::string result;
  appendLiteral(text, 0, conversion.begin, &result);
  appendValue(kind, value, conversion, &result);
  appendLiteral(text, conversion.end, std::strlen(text), &result);
  return result;
}

}  // namespace wyx::tool
