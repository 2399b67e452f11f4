// MacroExpander: the macro table and the expansion of one block.
#include "wyx/tool/macro_expander.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "wyx/oo/safecall.hpp"
#include "wyx/tool/format_value.hpp"
#include "wyx/tool/piece_reader.hpp"

namespace wyx::tool {

namespace {

constexpr char kNameMissing[] = "Macro name missing";
constexpr char kNoClosingParen[] = "No closing ')'";
constexpr char kDefaultSpecifier[] = "%s";
constexpr char kUndefinedBlock[] = "Expanding a block that is not defined";

// Literal text is collected and written in pieces of this size.
constexpr std::size_t kStageSize = 16384;
// Largest count handed to one writeBuffer call.
constexpr std::size_t kMaxWrite = std::size_t{1} << 30;

bool isNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isDefaultSpecifier(const std::string& specifier) {
  return specifier.size() == 2 && specifier[0] == '%' && specifier[1] == 's';
}

std::int32_t clampToInt32(std::int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

// Finds the first '\\', '$' or line feed in [p, end), eight bytes at a
// time: the literal scan is where expansion spends most of its time.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

inline std::uint64_t zeroBytes(std::uint64_t v) { return (v - kOnes) & ~v & kHighBits; }

const char* findStop(const char* p, const char* end) {
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    const std::uint64_t hits = zeroBytes(word ^ (kOnes * '\\')) | zeroBytes(word ^ (kOnes * '$')) |
                               zeroBytes(word ^ (kOnes * '\n'));
    if (hits != 0) {
      // A flagged word always holds a true match (false flags only occur
      // above one); find it byte by byte.
      for (int i = 0; i < 8; ++i) {
        if (p[i] == '\\' || p[i] == '$' || p[i] == '\n') return p + i;
      }
    }
    p += 8;
  }
  while (p < end && *p != '\\' && *p != '$' && *p != '\n') ++p;
  return p;
}

// What one invocation consists of, read from the window.
struct Invocation {
  std::string specifier;
  std::string name;
  std::string args;
};

// The state of one expand call: counters, staging buffer and window are
// local to it, so calls may nest.
class Expansion {
 public:
  // Holds its own reference to the block's stream: a macro may clear the
  // table the block came from while the block is being expanded.
  Expansion(MacroExpander& expander, const MacroExpander::block_t& block, io::IStream& output)
      : expander_(expander),
        block_(block),
        output_(output),
        reader_(*block.stream, 0, true, MacroExpander::kMaxInvocationSize),
        stage_(new char[kStageSize]) {}

  void run() {
    oo::checkStatus(block_.stream->setPosition(0));
    try {
      while (reader_.ensure(1)) {
        const char c = *reader_.cursor();
        if (c == '\\') {
          copyEscape();
        } else if (c == '$') {
          expandInvocation();
        } else {
          copyText();
        }
      }
    } catch (...) {
      // What was expanded before the error is part of the output.
      try {
        flush();
      } catch (...) {
        // The first error is the one to report.
      }
      throw;
    }
    flush();
  }

 private:
  // Copies literal bytes up to the next backslash or '$' or the window's end.
  void copyText() {
    const char* run = reader_.cursor();
    const char* end = reader_.end();
    const char* p = findStop(run, end);
    while (p < end && *p == '\n') {
      ++line_;
      lineStart_ = reader_.offsetOf(p + 1);
      outputLineStart_ = outputCount_ + static_cast<std::uint64_t>(p + 1 - run);
      p = findStop(p + 1, end);
    }
    emit(run, static_cast<std::size_t>(p - run));
    reader_.advanceTo(p);
  }

  // A backslash writes the byte after it literally; the pair never ends a
  // template line. A backslash with nothing after it is written itself.
  void copyEscape() {
    if (!reader_.ensure(2)) {
      emit(reader_.cursor(), 1);
      reader_.advanceTo(reader_.cursor() + 1);
      return;
    }
    const char* escaped = reader_.cursor() + 1;
    emit(escaped, 1);
    if (*escaped == '\n') outputLineStart_ = outputCount_;
    reader_.advanceTo(escaped + 1);
  }

  void expandInvocation() {
    reader_.ensure(MacroExpander::kMaxInvocationSize);
    const char* dollar = reader_.cursor();
    const std::int32_t line = clampToInt32(static_cast<std::int64_t>(line_));
    const std::int32_t column = currentColumn(dollar);
    const std::int32_t outputColumn =
        clampToInt32(static_cast<std::int64_t>(outputCount_ - outputLineStart_));
    try {
      Invocation invocation;
      const char* after = parseInvocation(dollar, &invocation);
      countLines(dollar, after);
      reader_.advanceTo(after);
      callMacro(invocation, line, column, outputColumn);
    } catch (const EMacroException& error) {
      throw EMacroException::at(clampToInt32(std::int64_t{block_.line} + line), column,
                                error.what());
    }
  }

  // Reads "$(NAME args)" or "$x spec(NAME args)" within the invocation limit.
  // Returns the position after the closing ')'.
  const char* parseInvocation(const char* dollar, Invocation* out) const {
    const char* limit =
        dollar + std::min<std::size_t>(reader_.available(), MacroExpander::kMaxInvocationSize);
    const char* p = dollar + 1;
    if (p < limit && *p == '(') {
      out->specifier = kDefaultSpecifier;
      ++p;
    } else {
      if (p == limit) throw EMacroException(kNameMissing);
      ++p;  // the byte after '$' only marks the specifier
      const void* paren = std::memchr(p, '(', static_cast<std::size_t>(limit - p));
      if (paren == nullptr) throw EMacroException(kNameMissing);
      out->specifier = "%";
      out->specifier.append(p, static_cast<const char*>(paren));
      p = static_cast<const char*>(paren) + 1;
    }
    const char* name = p;
    while (p < limit && isNameByte(*p)) ++p;
    out->name.assign(name, p);
    while (p < limit && isSpace(*p)) ++p;
    for (;;) {
      if (p == limit) throw EMacroException(kNoClosingParen);
      if (*p == ')') return p + 1;
      if (*p == '\\') {
        if (p + 1 == limit) throw EMacroException(kNoClosingParen);
        ++p;
      }
      out->args.push_back(*p++);
    }
  }

  void callMacro(const Invocation& invocation, std::int32_t line, std::int32_t column,
                 std::int32_t outputColumn) {
    const MacroExpander::macro_t* macro = expander_.findMacro(invocation.name);
    if (macro == nullptr) throw EMacroException("Unknown macro '" + invocation.name + "'");
    // A macro may write to the same output; what precedes it goes first.
    flush();
    const MacroExpander::macro_context_t context{
        &expander_, invocation.name, invocation.args, line, column, outputColumn,
        invocation.specifier};
    std::string text = (*macro)(context);
    if (isDefaultSpecifier(invocation.specifier)) {
      // "%s" is the text up to its first NUL; no formatter needed.
      const void* nul = std::memchr(text.data(), '\0', text.size());
      const std::size_t size =
          nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()) : text.size();
      emitResult(text.data(), size);
    } else {
      const std::string formatted = formatValue(invocation.specifier, text);
      emitResult(formatted.data(), formatted.size());
    }
  }

  void emitResult(const char* data, std::size_t size) {
    const std::uint64_t start = outputCount_;
    emit(data, size);
    const std::size_t last = std::string_view(data, size).rfind('\n');
    if (last != std::string_view::npos) outputLineStart_ = start + last + 1;
  }

  // Line feeds inside an invocation end template lines like any other.
  void countLines(const char* from, const char* to) {
    for (const char* p = from; p < to; ++p) {
      if (*p == '\n') {
        ++line_;
        lineStart_ = reader_.offsetOf(p + 1);
      }
    }
  }

  std::int32_t currentColumn(const char* at) const {
    return clampToInt32(static_cast<std::int64_t>(reader_.offsetOf(at) - lineStart_ + 1));
  }

  void emit(const char* data, std::size_t size) {
    outputCount_ += size;
    if (staged_ + size > kStageSize) {
      flush();
      if (size >= kStageSize) {
        write(data, size);
        return;
      }
    }
    std::memcpy(stage_.get() + staged_, data, size);
    staged_ += size;
  }

  // The stage is emptied before writing, so a failed write is not repeated.
  void flush() {
    const std::size_t size = staged_;
    staged_ = 0;
    write(stage_.get(), size);
  }

  void write(const char* data, std::size_t size) {
    while (size > 0) {
      const std::size_t count = std::min(size, kMaxWrite);
      oo::checkStatus(output_.writeBuffer(data, static_cast<std::uint32_t>(count)));
      data += count;
      size -= count;
    }
  }

  MacroExpander& expander_;
  const MacroExpander::block_t block_;
  io::IStream& output_;
  detail::PieceReader reader_;
  std::unique_ptr<char[]> stage_;
  std::size_t staged_ = 0;
  std::uint64_t line_ = 1;
  std::uint64_t lineStart_ = 0;        // text offset of the current line's first byte
  std::uint64_t outputCount_ = 0;      // bytes emitted by this expansion
  std::uint64_t outputLineStart_ = 0;  // outputCount_ just after the last line feed emitted
};

}  // namespace

void MacroExpander::addMacro(const std::string& name, const macro_t& fn) {
  macros_.emplace(name, fn);
}

const MacroExpander::macro_t* MacroExpander::findMacro(const std::string& name) const {
  auto found = macros_.find(name);
  return found == macros_.end() ? nullptr : &found->second;
}

void MacroExpander::expand(const block_t& block, io::IStream& output) {
  if (!block.stream) throw std::invalid_argument(kUndefinedBlock);
  Expansion(*this, block, output).run();
}

}  // namespace wyx::tool
