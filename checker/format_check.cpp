// The check of one call: walks the format with the specifier scanner and
// matches every conversion, and every '*', against the argument it takes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "checker/format_dialect.hpp"
#include "checker/format_report.hpp"
#include "qirt/format.hpp"
#include "wyx/tool/strict_format_scanner.hpp"

namespace qirt::detail {

namespace {

using wyx::tool::strict_specifier_t;
using wyx::tool::StrictFormatScanner;

template <class CharT>
std::size_t textLength(const CharT* text) {
  return std::char_traits<CharT>::length(text);
}

template <class CharT>
class Checker {
 public:
  Checker(const call_t& call, const CharT* format, std::size_t length)
      : call_(call),
        format_(format),
        end_(format + length),
        table_(formatClassTable(call.family, call.dialect)),
        wants_(wantTable(call.family, call.dialect, call.wide)),
        sized_(call.family == kFamilyScanfSecure) {}

  // True when the call passed; otherwise it has been reported.
  bool run();

 private:
  enum class Numbering { kUnknown, kSequential, kPositional };
  // What an argument is to the specifier that takes it.
  enum class Role { kConversion, kStar, kSize };

  bool checkSpecifier(const strict_specifier_t& spec);
  bool checkAnySpecifier(const strict_specifier_t& spec);
  bool checkNumbering(const strict_specifier_t& spec, bool nothing);
  bool take(const want_t& want, std::uint32_t position, Role role);
  bool finish();
  // scanf_s: remembers the specifier that took the last argument.
  void noteTaker(bool sized) {
    lastTaker_ = sized ? nullptr : scanner_->specifierBegin();
    lastTakerEnd_ = scanner_->position();
  }
  unsigned references(unsigned argument) const;
  bool fail(FormatErrorKind kind, PositionProblem position = PositionProblem::kNone);
  void report(problem_t problem);
  unsigned typeAt(unsigned argument) const {
    return call_.types != nullptr ? call_.types[argument - 1] : 0;
  }

  const call_t& call_;
  const CharT* format_;
  const CharT* end_;
  const std::uint32_t* table_;
  const want_table_t wants_;
  const bool sized_;  // scanf_s: a buffer size follows every text target
  // The specifier that took the last argument, for the message of a surplus
  // one; null when it took a size too (only scanf_s keeps it).
  const CharT* lastTaker_ = nullptr;
  const CharT* lastTakerEnd_ = nullptr;
  // The scanner, which knows where the specifier being checked lies.
  const StrictFormatScanner<CharT>* scanner_ = nullptr;
  Numbering numbering_ = Numbering::kUnknown;
  unsigned sequential_ = 0;  // arguments taken by plain specifiers
  unsigned highest_ = 0;     // highest argument taken
  std::uint64_t taken_ = 0;  // arguments 1 to 64 taken by position
};

template <class CharT>
bool Checker<CharT>::run() {
  // The compiler passes over an empty format, arguments and all.
  if (*format_ == CharT(0)) return true;
  StrictFormatScanner<CharT> scanner(format_, end_, table_);
  scanner_ = &scanner;
  strict_specifier_t spec;
  while (scanner.next(&spec)) {
    if (!checkSpecifier(spec)) return false;
  }
  scanner_ = nullptr;
  return finish();
}

// Most specifiers take the next argument and name no position: those that
// pass are done here, everything else goes the whole way.
template <class CharT>
bool Checker<CharT>::checkSpecifier(const strict_specifier_t& spec) {
  if (spec.plain && spec.conversion != 0 && numbering_ != Numbering::kPositional &&
      !(sized_ && takesSize(spec.conversion))) {
    const want_t& want = plainWantOf(wants_, spec);
    const unsigned argument = sequential_ + 1;
    if (want.kind > WantKind::kNothing && argument <= call_.count &&
        accepts(want, typeAt(argument))) {
      sequential_ = argument;
      highest_ = argument;
      numbering_ = Numbering::kSequential;
      if (sized_) noteTaker(false);
      return true;
    }
  }
  return checkAnySpecifier(spec);
}

template <class CharT>
bool Checker<CharT>::checkAnySpecifier(const strict_specifier_t& spec) {
  if (spec.conversion == 0) return fail(kFormatMalformed);
  const want_t want = wantOf(wants_, spec);
  if (want.kind == WantKind::kInvalid) {
    problem_t problem;
    problem.kind = kFormatMalformed;
    problem.refusedBySecure = (call_.family == kFamilyPrintfSecure && spec.conversion == 'n') ||
                              (sized_ && spec.allocating);
    report(problem);
    return false;
  }
  // A suppressed scanf conversion stores nothing; "%*n" still takes its
  // argument, as the compiler reads it.
  const bool nothing = want.kind == WantKind::kNothing ||
                       (spec.suppressed && spec.conversion != static_cast<unsigned>('n'));
  if (!checkNumbering(spec, nothing)) return false;
  if (nothing && spec.position != 0) return fail(kFormatPositions, PositionProblem::kNoArgument);
  if (spec.widthStar && !take(kStarWant, spec.widthPosition, Role::kStar)) return false;
  if (spec.precisionStar && !take(kStarWant, spec.precisionPosition, Role::kStar)) return false;
  if (nothing) return true;
  if (!take(want, spec.position, Role::kConversion)) return false;
  if (!sized_) return true;
  noteTaker(takesSize(spec.conversion));
  return !takesSize(spec.conversion) || take(sizeWant(call_.dialect), 0, Role::kSize);
}

// Positions: all or none, and only where the C library reads them.
template <class CharT>
bool Checker<CharT>::checkNumbering(const strict_specifier_t& spec, bool nothing) {
  const bool positioned =
      spec.position != 0 || spec.widthPosition != 0 || spec.precisionPosition != 0;
  if (positioned && !hasPositions(call_.family, call_.dialect)) {
    return fail(kFormatPositions, PositionProblem::kUnsupported);
  }
  const bool complete = (spec.position != 0 || nothing) &&
                        (!spec.widthStar || spec.widthPosition != 0) &&
                        (!spec.precisionStar || spec.precisionPosition != 0);
  if (positioned && !complete) return fail(kFormatPositions, PositionProblem::kMixed);
  // "%m" and a suppressed scanf conversion count for neither numbering.
  if (!positioned && nothing && !spec.widthStar && !spec.precisionStar) return true;
  const Numbering numbering = positioned ? Numbering::kPositional : Numbering::kSequential;
  if (numbering_ != Numbering::kUnknown && numbering_ != numbering) {
    return fail(kFormatPositions,
                positioned ? PositionProblem::kPositioned : PositionProblem::kUnpositioned);
  }
  numbering_ = numbering;
  return true;
}

template <class CharT>
bool Checker<CharT>::take(const want_t& want, std::uint32_t position, Role role) {
  const unsigned argument = position != 0 ? position : sequential_ + 1;
  if (argument <= call_.count && accepts(want, typeAt(argument)) &&
      (position == 0 || !isScan(call_.family) || references(argument) == 0)) {
    if (position == 0) ++sequential_;
    if (position != 0 && position <= 64) taken_ |= std::uint64_t(1) << (position - 1);
    highest_ = std::max(highest_, argument);
    return true;
  }
  // Only a wrong call gets here; the problem and its text are built now.
  problem_t problem;
  problem.wanted = wantName(want);
  problem.star = role == Role::kStar;
  problem.sizeOf = role == Role::kSize ? argument - 1 : 0;
  problem.argument = argument;
  if (argument > call_.count) {
    problem.kind = kFormatMissingArgument;
  } else if (!accepts(want, typeAt(argument))) {
    problem.kind = kFormatTypeMismatch;
  } else {
    // scanf cannot store two conversions into one argument.
    problem.kind = kFormatPositions;
    problem.position = PositionProblem::kReused;
  }
  report(problem);
  return false;
}

template <class CharT>
bool Checker<CharT>::finish() {
  if (numbering_ == Numbering::kPositional) {
    for (unsigned argument = 1; argument < highest_; ++argument) {
      if (references(argument) == 0) {
        problem_t problem;
        problem.kind = kFormatUnusedArgument;
        problem.argument = argument;
        report(problem);
        return false;
      }
    }
  }
  if (highest_ >= call_.count) return true;
  problem_t problem;
  problem.kind = kFormatSurplusArgument;
  problem.argument = highest_ + 1;
  report(problem);
  return false;
}

// How many specifiers before the current one (all, once the scan is over)
// took `argument` by position. Rescans only beyond the first 64 arguments.
template <class CharT>
unsigned Checker<CharT>::references(unsigned argument) const {
  if (argument <= 64) return (taken_ >> (argument - 1)) & 1;
  const CharT* stop = scanner_ != nullptr ? scanner_->specifierBegin() : nullptr;
  StrictFormatScanner<CharT> scanner(format_, end_, table_);
  strict_specifier_t spec;
  unsigned count = 0;
  while (scanner.next(&spec) && scanner.specifierBegin() != stop) {
    const bool stored = !spec.suppressed || spec.conversion == static_cast<unsigned>('n');
    count += (stored && spec.position == argument) + (spec.widthPosition == argument) +
             (spec.precisionPosition == argument);
  }
  return count;
}

template <class CharT>
bool Checker<CharT>::fail(FormatErrorKind kind, PositionProblem position) {
  problem_t problem;
  problem.kind = kind;
  problem.position = position;
  report(problem);
  return false;
}

// Builds what the problem's message needs from the format; reached from
// many places, so that the rescans it may do stay out of the checking loop.
template <class CharT>
void Checker<CharT>::report(problem_t problem) {
  if (problem.kind == kFormatSurplusArgument && sized_) {
    // A surplus number after a target of scanf_s is most likely a buffer
    // size given to a conversion that takes none.
    if (isIntegerValue(typeAt(problem.argument)) && lastTaker_ != nullptr) {
      problem.unsized = formatText(lastTaker_, lastTakerEnd_);
    }
  }
  if (problem.kind != kFormatSurplusArgument && problem.kind != kFormatUnusedArgument &&
      scanner_ != nullptr) {
    const CharT* specifier = scanner_->specifierBegin();
    problem.offset = static_cast<std::size_t>(specifier - format_);
    problem.specifier = formatText(specifier, scanner_->position());
  }
  reportFormatError(call_, formatText(format_, end_), problem);
}

// The calls of one thread that passed lately, by content: a program makes
// the same call again and again (a format in a loop, a log line), and
// comparing a short text is much cheaper than reading its specifiers. Keyed
// by everything the verdict depends on (the call word as the header made
// it, the character type, the count, the types and the format), so a reused
// buffer with another format, or a type array changed in place, is checked
// afresh; a call found here is not even unpacked. Plain data: a
// thread_local object with a destructor would have to be registered.
class RecentCalls {
 public:
  // The key of a call: its word without the count, and the character type.
  template <class CharT>
  static call_word_t keyOf(call_word_t word) {
    return (word & ((call_word_t(1) << kCallCountShift) - 1)) | (sizeof(CharT) << kCallCountShift);
  }

  template <class CharT>
  bool contains(call_word_t key, const CharT* format, std::size_t length, const unsigned* types,
                unsigned count) const {
    const entry_t& entry = slot(format, types);
    if (entry.bytes != length * sizeof(CharT) || !fits(length * sizeof(CharT), count) ||
        entry.key != key || entry.count != count ||
        std::memcmp(entry.format, format, entry.bytes) != 0) {
      return false;
    }
    if (count == 0) return true;
    if (types == nullptr || !entry.hasTypes) return false;
    // At most kMaxTypes: a loop the compiler keeps inline.
    for (unsigned i = 0; i < count; ++i) {
      if (entry.types[i] != types[i]) return false;
    }
    return true;
  }

  template <class CharT>
  void add(call_word_t key, const CharT* format, std::size_t length, const unsigned* types,
           unsigned count) {
    const std::size_t bytes = length * sizeof(CharT);
    if (!fits(bytes, count)) return;
    entry_t& entry = slot(format, types);
    entry.bytes = bytes;
    entry.key = key;
    entry.count = count;
    entry.hasTypes = types != nullptr;
    std::memcpy(entry.format, format, bytes);
    if (entry.hasTypes) std::memcpy(entry.types, types, count * sizeof(unsigned));
  }

 private:
  // Sixteen formats of up to 96 bytes with up to ten arguments hold the
  // calls a loop or a log repeats; every thread of a checked program pays
  // for them, about 2.5 KiB of thread-local storage, so they stay small.
  static constexpr std::size_t kSlots = 16;
  static constexpr std::size_t kMaxBytes = 96;
  static constexpr unsigned kMaxTypes = 10;

  struct entry_t {
    std::size_t bytes;  // of the format; 0 marks an empty slot as no format is empty here
    call_word_t key;
    unsigned count;
    bool hasTypes;
    unsigned types[kMaxTypes];
    char format[kMaxBytes];
  };

  static bool fits(std::size_t bytes, unsigned count) {
    return bytes != 0 && bytes <= kMaxBytes && count <= kMaxTypes;
  }
  template <class CharT>
  entry_t& slot(const CharT* format, const unsigned* types) const {
    const std::uintptr_t key =
        reinterpret_cast<std::uintptr_t>(format) ^ (reinterpret_cast<std::uintptr_t>(types) >> 3);
    return entries_[(key ^ (key >> 7)) % kSlots];
  }

  mutable entry_t entries_[kSlots];
};

thread_local RecentCalls recentCalls;

// The call word's fields, checked: a word made by another version of the
// header must not index past the tables.
call_t unpack(call_word_t word, bool wide, const unsigned* types, unsigned count, const char* file,
              int line, const char* function) {
  unsigned family = word & kCallFamilyMask;
  unsigned dialect = (word & kCallDialectMask) >> kCallDialectShift;
  if (family >= kFamilies) family = kFamilyPrintf;
  if (dialect >= kDialects) dialect = kFormatDialectPosix;
  // MinGW has no secure functions of its own: a MinGW program's printf_s
  // and scanf_s are the Microsoft library's, whichever printf it calls.
  if (isSecure(static_cast<FormatFamily>(family)) && dialect == kFormatDialectMinGW) {
    dialect = kFormatDialectMicrosoft;
  }
  return call_t{static_cast<FormatFamily>(family),
                static_cast<FormatDialect>(dialect),
                wide,
                types,
                count,
                file,
                line,
                function,
                (word & kCallModeMask) >> kCallModeShift};
}

template <class CharT>
void verify(call_word_t word, const CharT* format, const unsigned* types, unsigned count,
            const char* file, int line, const char* function) {
  const bool wide = sizeof(CharT) != 1;
  if (format == nullptr) {
    problem_t problem;
    problem.kind = kFormatNullFormat;
    return reportFormatError(unpack(word, wide, types, count, file, line, function), std::string(),
                             problem);
  }
  const std::size_t length = textLength(format);
  const call_word_t key = RecentCalls::keyOf<CharT>(word);
  if (recentCalls.contains(key, format, length, types, count)) return;
  const call_t call = unpack(word, wide, types, count, file, line, function);
  if (Checker<CharT>(call, format, length).run()) {
    recentCalls.add(key, format, length, types, count);
  }
}

}  // namespace

// The short entries pass on to the long ones, so that each character type
// has one path into the checker, which the compiler then inlines whole.
void verifyFormat(const char* format, const unsigned* types, call_word_t call) {
  verifyFormat(format, types, call, nullptr, 0, nullptr, call >> kCallCountShift);
}

void verifyFormat(const wchar_t* format, const unsigned* types, call_word_t call) {
  verifyFormat(format, types, call, nullptr, 0, nullptr, call >> kCallCountShift);
}

void verifyFormat(const char* format, const unsigned* types, call_word_t call, const char* file,
                  int line, const char* function, unsigned count) {
  verify(call, format, types, count, file, line, function);
}

void verifyFormat(const wchar_t* format, const unsigned* types, call_word_t call, const char* file,
                  int line, const char* function, unsigned count) {
  verify(call, format, types, count, file, line, function);
}

}  // namespace qirt::detail
