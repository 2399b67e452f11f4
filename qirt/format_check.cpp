// The check of one call: walks the format with the specifier scanner and
// matches every conversion, and every '*', against the argument it takes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "qirt/format.hpp"
#include "qirt/format_dialect.hpp"
#include "qirt/format_report.hpp"
#include "wyx/tool/format_parser.hpp"

namespace qirt::detail {

namespace {

using wyx::tool::FormatScanner;

template <class CharT>
std::size_t textLength(const CharT* text) {
  std::size_t length = 0;
  while (text[length] != CharT(0)) ++length;
  return length;
}

template <class CharT>
class Checker {
 public:
  Checker(const call_t& call, const CharT* format)
      : call_(call), format_(format), table_(formatClassTable(call.family, call.dialect)) {}

  // True when the call passed; otherwise it has been reported.
  bool run();

 private:
  enum class Numbering { kUnknown, kSequential, kPositional };

  bool checkCode(const FormatScanner<CharT>& scanner, std::uint32_t code);
  bool takeArgument(const FormatScanner<CharT>& scanner, const want_t& want, bool star);
  bool referenced(unsigned argument) const;
  void report(problem_t problem, const CharT* specifier, const CharT* end);
  const CharT* specifierEnd(const CharT* specifier) const;
  unsigned typeAt(unsigned argument) const {
    return call_.types != nullptr ? call_.types[argument - 1] : 0;
  }

  const call_t& call_;
  const CharT* format_;
  const std::uint32_t* table_;
  Numbering numbering_ = Numbering::kUnknown;
  unsigned sequential_ = 0;  // arguments taken by plain specifiers
  unsigned highest_ = 0;     // highest argument taken
  bool suppressNext_ = false;
};

template <class CharT>
bool Checker<CharT>::run() {
  FormatScanner<CharT> scanner(format_, table_);
  for (;;) {
    const std::uint32_t code = scanner.next();
    if (code == wyx::tool::kSpecifierEnd) break;
    if (!checkCode(scanner, code)) return false;
  }
  if (numbering_ == Numbering::kPositional) {
    for (unsigned argument = 1; argument < highest_; ++argument) {
      if (!referenced(argument)) {
        problem_t problem;
        problem.kind = kFormatUnusedArgument;
        problem.argument = argument;
        report(problem, nullptr, nullptr);
        return false;
      }
    }
  }
  if (highest_ < call_.count) {
    problem_t problem;
    problem.kind = kFormatSurplusArgument;
    problem.argument = highest_ + 1;
    report(problem, nullptr, nullptr);
    return false;
  }
  return true;
}

// Returns false when the call has been reported.
template <class CharT>
bool Checker<CharT>::checkCode(const FormatScanner<CharT>& scanner, std::uint32_t code) {
  const bool star = (code & wyx::tool::kSpecifierStar) != 0;
  if (star && call_.family == kFamilyScanf) {
    suppressNext_ = true;
    return true;
  }
  want_t want = kStarWant;
  if (!star && code != wyx::tool::kSpecifierInvalid) {
    const bool scanSet = (code & kAttrScanSet) != 0;
    const unsigned letter = scanSet ? '[' : static_cast<unsigned>(scanner.position()[-1]);
    want =
        wantOf(call_.family, call_.dialect, call_.wide, letter, wyx::tool::specifierModifier(code));
  }
  if (code == wyx::tool::kSpecifierInvalid || want.kind == WantKind::kInvalid) {
    problem_t problem;
    problem.kind = kFormatMalformed;
    report(problem, scanner.specifierBegin(), scanner.position());
    return false;
  }
  if (want.kind == WantKind::kNothing) return true;
  if (suppressNext_) {
    suppressNext_ = false;
    return true;
  }
  return takeArgument(scanner, want, star);
}

template <class CharT>
bool Checker<CharT>::takeArgument(const FormatScanner<CharT>& scanner, const want_t& want,
                                  bool star) {
  const unsigned position = scanner.argumentPosition();
  const Numbering numbering = position != 0 ? Numbering::kPositional : Numbering::kSequential;
  const unsigned argument = position != 0 ? position : sequential_ + 1;
  FormatErrorKind kind;
  if (position != 0 && call_.dialect != kFormatDialectPosix) {
    kind = kFormatPositions;
  } else if (numbering_ != Numbering::kUnknown && numbering_ != numbering) {
    kind = kFormatPositions;
  } else if (argument > call_.count) {
    kind = kFormatMissingArgument;
  } else if (!accepts(want, typeAt(argument))) {
    kind = kFormatTypeMismatch;
  } else {
    numbering_ = numbering;
    if (position == 0) ++sequential_;
    highest_ = std::max(highest_, argument);
    return true;
  }
  // Only a wrong call gets here; the problem and its text are built now.
  problem_t problem;
  problem.kind = kind;
  problem.wanted = want.name;
  problem.star = star;
  problem.positioned = position != 0;
  problem.unsupported = position != 0 && call_.dialect != kFormatDialectPosix;
  if (kind != kFormatPositions) problem.argument = argument;
  report(problem, scanner.specifierBegin(), nullptr);
  return false;
}

// Whether some specifier takes `argument` by its position. Runs only for
// formats with positions that passed every other check.
template <class CharT>
bool Checker<CharT>::referenced(unsigned argument) const {
  FormatScanner<CharT> scanner(format_, table_);
  bool suppress = false;
  for (;;) {
    const std::uint32_t code = scanner.next();
    if (code == wyx::tool::kSpecifierEnd) return false;
    if ((code & wyx::tool::kSpecifierStar) != 0 && call_.family == kFamilyScanf) {
      suppress = true;
      continue;
    }
    if (!suppress && scanner.argumentPosition() == argument) return true;
    if ((code & wyx::tool::kSpecifierStar) == 0) suppress = false;
  }
}

// The end of the specifier that starts at `specifier`: a reported '*' leaves
// the scanner at the '%', so the extent is found by reading it once more.
template <class CharT>
const CharT* Checker<CharT>::specifierEnd(const CharT* specifier) const {
  FormatScanner<CharT> scanner(specifier, table_);
  for (int star = 0; star < 3; ++star) {
    if ((scanner.next() & wyx::tool::kSpecifierStar) == 0) break;
  }
  return scanner.position();
}

template <class CharT>
void Checker<CharT>::report(problem_t problem, const CharT* specifier, const CharT* end) {
  if (specifier != nullptr) {
    if (end == nullptr) end = specifierEnd(specifier);
    problem.offset = static_cast<std::size_t>(specifier - format_);
    problem.specifier = formatText(specifier, end);
  }
  reportFormatError(call_, formatText(format_, format_ + textLength(format_)), problem);
}

// The calls of one thread that passed lately, by content: a program makes
// the same call again and again (a format in a loop, a log line), and
// comparing a short text is much cheaper than reading its specifiers. Keyed
// by everything the verdict depends on, so a reused buffer with another
// format, or a type array changed in place, is checked afresh. Plain data:
// a thread_local object with a destructor would have to be registered.
class RecentCalls {
 public:
  template <class CharT>
  bool contains(const call_t& call, const CharT* format, std::size_t length) const {
    const entry_t& entry = slot(call, format);
    return entry.bytes == length * sizeof(CharT) && fits(call, length * sizeof(CharT)) &&
           entry.family == call.family && entry.dialect == call.dialect &&
           entry.wide == call.wide && entry.count == call.count &&
           std::memcmp(entry.format, format, entry.bytes) == 0 &&
           (call.count == 0 || (call.types != nullptr && entry.hasTypes &&
                                std::memcmp(entry.types, call.types,
                                            call.count * sizeof(unsigned)) == 0));
  }

  template <class CharT>
  void add(const call_t& call, const CharT* format, std::size_t length) {
    const std::size_t bytes = length * sizeof(CharT);
    if (!fits(call, bytes)) return;
    entry_t& entry = slot(call, format);
    entry.bytes = bytes;
    entry.family = call.family;
    entry.dialect = call.dialect;
    entry.wide = call.wide;
    entry.count = call.count;
    entry.hasTypes = call.types != nullptr;
    std::memcpy(entry.format, format, bytes);
    if (entry.hasTypes) std::memcpy(entry.types, call.types, call.count * sizeof(unsigned));
  }

 private:
  static constexpr std::size_t kSlots = 16;
  static constexpr std::size_t kMaxBytes = 96;
  static constexpr unsigned kMaxTypes = 10;

  struct entry_t {
    std::size_t bytes;  // of the format; 0 marks an empty slot as no format is empty here
    FormatFamily family;
    FormatDialect dialect;
    bool wide;
    bool hasTypes;
    unsigned count;
    unsigned types[kMaxTypes];
    char format[kMaxBytes];
  };

  static bool fits(const call_t& call, std::size_t bytes) {
    return bytes != 0 && bytes <= kMaxBytes && call.count <= kMaxTypes;
  }
  template <class CharT>
  entry_t& slot(const call_t& call, const CharT* format) const {
    const std::uintptr_t key = reinterpret_cast<std::uintptr_t>(format) ^
                               (reinterpret_cast<std::uintptr_t>(call.types) >> 3);
    return entries_[(key ^ (key >> 7)) % kSlots];
  }

  mutable entry_t entries_[kSlots];
};

thread_local RecentCalls recentCalls;

template <class CharT>
void verify(call_t call, const CharT* format) {
  if (call.dialect > kFormatDialectMicrosoft) call.dialect = kFormatDialectPosix;
  if (format == nullptr) {
    problem_t problem;
    problem.kind = kFormatNullFormat;
    return reportFormatError(call, std::string(), problem);
  }
  const std::size_t length = textLength(format);
  if (recentCalls.contains(call, format, length)) return;
  if (Checker<CharT>(call, format).run()) recentCalls.add(call, format, length);
}

}  // namespace

void verifyFormat(FormatFamily family, FormatDialect dialect, const char* format,
                  const unsigned* types, unsigned count, const char* file, int line,
                  const char* function) {
  verify(call_t{family, dialect, false, types, count, file, line, function}, format);
}

void verifyFormat(FormatFamily family, FormatDialect dialect, const wchar_t* format,
                  const unsigned* types, unsigned count, const char* file, int line,
                  const char* function) {
  verify(call_t{family, dialect, true, types, count, file, line, function}, format);
}

}  // namespace qirt::detail
