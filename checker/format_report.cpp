#include <atomic>
#include <cstdint>
#include <new>
#include <string>

#include "checker/format_dialect.hpp"
#include "checker/format_mode.hpp"
#include "checker/format_observe.hpp"
#include "checker/format_report.hpp"
#include "qirt/format.hpp"
#include "qirt/format_error.hpp"
#include "qirt/format_types.hpp"

namespace qirt {

namespace {

std::atomic<FormatErrorHandler> installedHandler{nullptr};

}  // namespace

EFormatError::EFormatError(const format_error_t& error)
    : std::runtime_error(error.message),
      kind_(error.kind),
      family_(error.family),
      format_(error.format),
      argument_(error.argument),
      specifier_(error.specifier),
      wanted_(error.wanted),
      given_(error.given),
      file_(error.file),
      line_(error.line),
      function_(error.function) {}

FormatErrorHandler setFormatErrorHandler(FormatErrorHandler handler) {
  return installedHandler.exchange(handler);
}

namespace detail {

namespace {

void appendUtf8(std::uint32_t c, std::string* out) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Format text inside the message's quotes: control characters, quotes and
// backslashes as C escapes, so the message stays one line and reads back
// as the literal in the source.
void appendQuoted(std::string* out, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const char* escape = c == '\n'   ? "\\n"
                         : c == '\t' ? "\\t"
                         : c == '\r' ? "\\r"
                         : c == '"'  ? "\\\""
                         : c == '\\' ? "\\\\"
                                     : nullptr;
    if (escape != nullptr) {
      *out += escape;
    } else if (byte < 0x20 || byte == 0x7F) {
      const char hex[] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF], 0};
      *out += hex;
    } else {
      *out += c;
    }
  }
}

void appendNumber(std::string* out, unsigned long long number) {
  char digits[24];
  char* at = digits + sizeof digits;
  *--at = 0;
  do {
    *--at = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  *out += at;
}

void appendArgumentCount(std::string* out, unsigned count) {
  if (count == 0) {
    *out += "no arguments";
    return;
  }
  appendNumber(out, count);
  *out += count == 1 ? " argument" : " arguments";
}

const char* familyName(const call_t& call) {
  switch (call.family) {
    case kFamilyScanf:
      return call.wide ? "wscanf" : "scanf";
    case kFamilyPrintfSecure:
      return call.wide ? "wprintf_s" : "printf_s";
    case kFamilyScanfSecure:
      return call.wide ? "wscanf_s" : "scanf_s";
    default:
      return call.wide ? "wprintf" : "printf";
  }
}

const char* positionText(const problem_t& problem) {
  switch (problem.position) {
    case PositionProblem::kUnsupported:
      return " names an argument position, which this C library does not support";
    case PositionProblem::kPositioned:
      return " names an argument position, but an earlier specifier does not";
    case PositionProblem::kUnpositioned:
      return " names no argument position, but an earlier specifier does";
    case PositionProblem::kReused:
      return " names an argument that an earlier specifier stores into already";
    case PositionProblem::kNoArgument:
      return " names an argument position, but takes no argument";
    default:
      return " names argument positions for some of its fields only";
  }
}

// The name of a base type; null for the bases that only pointers have.
// A switch rather than a table of names, so that no pointer needs
// relocating when a program starts.
const char* baseName(unsigned base) {
  switch (base) {
    case kTypeBool:
      return "bool";
    case kTypeChar:
      return "char";
    case kTypeSignedChar:
      return "signed char";
    case kTypeUnsignedChar:
      return "unsigned char";
    case kTypeWchar:
      return "wchar_t";
    case kTypeChar16:
      return "char16_t";
    case kTypeChar32:
      return "char32_t";
    case kTypeShort:
      return "short";
    case kTypeUnsignedShort:
      return "unsigned short";
    case kTypeInt:
      return "int";
    case kTypeUnsignedInt:
      return "unsigned int";
    case kTypeLong:
      return "long";
    case kTypeUnsignedLong:
      return "unsigned long";
    case kTypeLongLong:
      return "long long";
    case kTypeUnsignedLongLong:
      return "unsigned long long";
    case kTypeFloat:
      return "float";
    case kTypeDouble:
      return "double";
    case kTypeLongDouble:
      return "long double";
    case kTypeNullptr:
      return "std::nullptr_t";
    default:
      return nullptr;
  }
}

// The name of a TypeID value for messages: "const char*", "a class object".
std::string typeName(unsigned type) {
  constexpr unsigned kKnownBits = kTypeBaseMask | kTypePointer | kTypeConstTarget | kTypeIndirect |
                                  kTypeConstInner | kTypeSizeMask;
  const unsigned base = type & kTypeBaseMask;
  const bool pointer = (type & kTypePointer) != 0;
  const bool isConst = (type & kTypeConstTarget) != 0;
  if ((type & ~kKnownBits) != 0 || base == 0 || base > kTypeClass) {
    return "a value of unknown type";
  }
  if (!pointer) {
    if (base == kTypeScopedEnum) return "a scoped enumeration";
    const char* name = baseName(base);
    return name != nullptr ? name : "a class object";
  }
  // A target without a name of its own is described in words.
  const char* described = nullptr;
  switch (base) {
    case kTypeEnumeration:
    case kTypeScopedEnum:
      described = "an enumeration";
      break;
    case kTypeObject:
    case kTypeNullptr:
    case kTypeClass:
      described = "an object";
      break;
    case kTypeFunction:
      described = "a function";
      break;
  }
  std::string name;
  if ((type & kTypeIndirect) != 0) {
    if (described != nullptr) return (name = "a pointer to a pointer to ") += described;
    if ((type & kTypeConstInner) != 0) name = "const ";
    name += base == kTypeVoid ? "void" : baseName(base);
    return name += isConst ? "* const*" : "**";
  }
  if (base == kTypeFunction) return "a function pointer";
  if (base == kTypeEnumeration || base == kTypeScopedEnum) {
    return isConst ? "a pointer to a const enumeration" : "a pointer to an enumeration";
  }
  if (described != nullptr) return isConst ? "a pointer to a const object" : "an object pointer";
  if (isConst) name = "const ";
  name += base == kTypeVoid ? "void" : baseName(base);
  return name += "*";
}

// What the size of a scanf_s buffer is wanted as, and, for a number of
// another type, how to mend it.
void appendSizeWanted(std::string* out, const problem_t& problem, bool integer) {
  *out += problem.wanted;
  *out += " as the size of the buffer in argument ";
  appendNumber(out, problem.sizeOf);
  if (integer) (*out += "; cast it to ") += problem.wanted;
}

// What is wrong, after "<family> format "<format>": ".
void appendProblem(std::string* out, const call_t& call, const problem_t& problem,
                   unsigned givenType, const std::string& given) {
  const bool integer = isIntegerValue(givenType);
  const bool atSpecifier = problem.kind == kFormatMalformed || problem.kind == kFormatPositions;
  if (atSpecifier) {
    appendQuoted(out, problem.specifier);
    *out += " at character ";
    appendNumber(out, problem.offset + 1);
    *out += problem.kind == kFormatPositions ? positionText(problem)
            : problem.refusedBySecure        ? " is refused by the secure functions"
                                             : " is not a valid specifier";
    return;
  }
  *out += "argument ";
  appendNumber(out, problem.argument);
  *out += problem.kind == kFormatMissingArgument ? " is missing: " : " is ";
  if (problem.kind != kFormatMissingArgument) *out += given;
  switch (problem.kind) {
    case kFormatTypeMismatch:
    case kFormatMissingArgument:
      if (problem.kind == kFormatTypeMismatch) *out += ", but ";
      if (problem.star) *out += "the * in ";
      appendQuoted(out, problem.specifier);
      *out += " wants ";
      if (problem.sizeOf != 0) {
        appendSizeWanted(out, problem, integer && problem.kind == kFormatTypeMismatch);
      } else {
        *out += problem.wanted;
      }
      if (problem.kind == kFormatMissingArgument) {
        *out += ", but the call passes ";
        appendArgumentCount(out, call.count);
      }
      break;
    case kFormatSurplusArgument:
      *out += ", but the format uses ";
      if (problem.argument == 1) {
        *out += "no arguments";
      } else {
        *out += "only ";
        appendArgumentCount(out, problem.argument - 1);
      }
      if (!problem.unsized.empty()) {
        *out += ": ";
        appendQuoted(out, problem.unsized);
        *out += " takes no buffer size";
      }
      break;
    case kFormatUnusedArgument:
      *out += ", but no specifier takes it, so the C library cannot pass over it";
      break;
    default:
      break;
  }
}

}  // namespace

// Stands for a text that found no memory; short enough for any string's
// own storage, so that returning it allocates nothing and the report of a
// wrong call can go on.
const char kTextWithoutMemory[] = "(no memory)";

std::string formatText(const char* begin, const char* end) try {
  return std::string(begin, end);
} catch (const std::bad_alloc&) {
  return kTextWithoutMemory;
}

std::string formatText(const wchar_t* begin, const wchar_t* end) try {
  std::string out;
  for (const wchar_t* at = begin; at != end; ++at) {
    auto c = static_cast<std::uint32_t>(*at);
    if (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      if (c >= 0xD800 && c <= 0xDBFF && at + 1 != end) {
        const auto low = static_cast<std::uint32_t>(at[1]) & 0xFFFF;
        if (low >= 0xDC00 && low <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++at;
        }
      }
    }
    appendUtf8(c, &out);
  }
  return out;
} catch (const std::bad_alloc&) {
  return kTextWithoutMemory;
}

void describeFormatError(const call_t& call, const std::string& format, const problem_t& problem,
                         void (*use)(const format_error_t& error, void* context), void* context) {
  const bool hasArgument = problem.argument != 0 && problem.argument <= call.count;
  const unsigned givenType =
      hasArgument && call.types != nullptr ? call.types[problem.argument - 1] : 0;
  const std::string given = hasArgument ? typeName(givenType) : std::string();
  std::string message = familyName(call);
  if (problem.kind == kFormatNullFormat) {
    message += " format is a null pointer";
  } else {
    message += " format \"";
    appendQuoted(&message, format);
    message += "\": ";
    appendProblem(&message, call, problem, givenType, given);
  }
  if (call.file != nullptr) {
    ((message += " (") += call.file) += ":";
    appendNumber(&message, static_cast<unsigned long long>(call.line < 0 ? 0 : call.line));
    if (call.function != nullptr) (message += ", ") += call.function;
    message += ")";
  }

  format_error_t error;
  error.kind = problem.kind;
  error.family = familyName(call);
  error.format = format.c_str();
  error.argument = problem.argument;
  error.argumentCount = call.count;
  error.specifier = problem.specifier.c_str();
  error.wanted = problem.wanted;
  error.given = given.c_str();
  error.file = call.file != nullptr ? call.file : "";
  error.line = call.file != nullptr ? call.line : 0;
  error.function = call.function != nullptr ? call.function : "";
  error.message = message.c_str();
  use(error, context);
}

void reportFormatError(const call_t& call, const std::string& format, const problem_t& problem) {
  FormatErrorHandler handler = installedHandler.load();
  if (handler == nullptr) {
    const FormatMode mode = modeOf(call.mode);
    if (mode != kFormatModeThrow) return observeFormatError(call, format, problem, mode);
  }
  describeFormatError(
      call, format, problem,
      [](const format_error_t& error, void* context) {
        const auto handler = *static_cast<FormatErrorHandler*>(context);
        if (handler == nullptr) throw EFormatError(error);
        handler(error);
      },
      &handler);
}

}  // namespace detail

}  // namespace qirt
