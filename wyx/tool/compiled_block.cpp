// CompiledBlock: one pass over a block's text that records what expansion
// needs, with the same positions and messages as reading it on the fly.
#include "wyx/tool/compiled_block.hpp"
#include "wyx/tool/text_scan.hpp"

#include <algorithm>
#include <cstring>

namespace wyx::tool {

namespace {

constexpr char kNameMissing[] = "Macro name missing";
constexpr char kNoClosingParen[] = "No closing ')'";
constexpr char kDefaultSpecifier[] = "%s";

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

// Walks the text once, appending literal bytes to the current run and
// closing the run at every invocation.
class BlockCompiler {
 public:
  explicit BlockCompiler(std::string_view text)
      : text_(text.substr(0, text.find('\0'))),
        block_(new CompiledBlock),
        nextDollar_(find('$', 0)),
        nextBackslash_(find('\\', 0)) {}

  std::shared_ptr<const CompiledBlock> run() {
    std::size_t at = 0;
    while (at < text_.size()) {
      const char c = text_[at];
      if (c == '\\') {
        at = copyEscape(at);
      } else if (c == '$') {
        if (!readInvocation(at, &at)) break;
      } else {
        at = copyText(at);
      }
    }
    endRun(CompiledBlock::kNone);
    return std::shared_ptr<const CompiledBlock>(block_.release());
  }

 private:
  // Copies bytes up to the next backslash or '$'; line feeds end template
  // lines and output lines alike.
  std::size_t copyText(std::size_t at) {
    if (nextDollar_ < at) nextDollar_ = find('$', at);
    if (nextBackslash_ < at) nextBackslash_ = find('\\', at);
    const std::size_t end = std::min(nextDollar_, nextBackslash_);
    const char* data = text_.data();
    for (const char* lf = findByte(data + at, data + end, '\n'); lf != data + end;
         lf = findByte(lf + 1, data + end, '\n')) {
      const std::size_t p = static_cast<std::size_t>(lf - data);
      ++line_;
      lineStart_ = p + 1;
      runLineEnd_ = runSize() + (p + 1 - at);
    }
    block_->text_.append(data + at, end - at);
    return end;
  }

  // The offset of the first `c` at or after `at`, or the text's size.
  std::size_t find(char c, std::size_t at) const {
    if (at >= text_.size()) return text_.size();
    const char* data = text_.data();
    return static_cast<std::size_t>(findByte(data + at, data + text_.size(), c) - data);
  }

  // A backslash gives the byte after it literally; the pair never ends a
  // template line. A backslash with nothing after it is itself the text.
  std::size_t copyEscape(std::size_t at) {
    if (at + 1 == text_.size()) {
      block_->text_.push_back('\\');
      return at + 1;
    }
    const char escaped = text_[at + 1];
    block_->text_.push_back(escaped);
    if (escaped == '\n') runLineEnd_ = runSize();
    return at + 2;
  }

  // Reads the invocation at `dollar`, within the invocation size limit.
  // False when it is malformed: the block's error then ends the walk.
  bool readInvocation(std::size_t dollar, std::size_t* next) {
    CompiledBlock::invocation_t invocation{};
    invocation.line = clampToInt32(static_cast<std::int64_t>(line_));
    invocation.column = clampToInt32(static_cast<std::int64_t>(dollar - lineStart_ + 1));
    const char* start = text_.data() + dollar;
    const char* limit = start + std::min<std::size_t>(text_.size() - dollar, kMaxInvocationSize);
    const char* message = parse(start, limit, &invocation, next);
    if (message != nullptr) {
      endRun(CompiledBlock::kNone);
      block_->error_.reset(new CompiledBlock::error_t{message, invocation.line, invocation.column});
      return false;
    }
    *next += dollar;
    countLines(dollar, *next);
    block_->invocations_.push_back(std::move(invocation));
    endRun(block_->invocations_.size() - 1);
    return true;
  }

  // Fills `out` from "$(NAME args)" or "$x spec(NAME args)" in [dollar,
  // limit) and sets `*length` to its size; returns the error message, or
  // null.
  static const char* parse(const char* dollar, const char* limit, CompiledBlock::invocation_t* out,
                           std::size_t* length) {
    const char* p = dollar + 1;
    if (p < limit && *p == '(') {
      out->specifier = kDefaultSpecifier;
      ++p;
    } else {
      if (p == limit) return kNameMissing;
      ++p;  // the byte after '$' only marks the specifier
      const void* paren = std::memchr(p, '(', static_cast<std::size_t>(limit - p));
      if (paren == nullptr) return kNameMissing;
      out->specifier = "%";
      out->specifier.append(p, static_cast<const char*>(paren));
      p = static_cast<const char*>(paren) + 1;
    }
    out->defaultSpecifier = out->specifier == kDefaultSpecifier;
    const char* name = p;
    while (p < limit && isNameByte(*p)) ++p;
    out->name.assign(name, p);
    while (p < limit && isSpace(*p)) ++p;
    for (;;) {
      if (p == limit) return kNoClosingParen;
      if (*p == ')') break;
      if (*p == '\\') {
        if (p + 1 == limit) return kNoClosingParen;
        ++p;
      }
      out->args.push_back(*p++);
    }
    *length = static_cast<std::size_t>(p + 1 - dollar);
    return nullptr;
  }

  // Line feeds inside an invocation end template lines like any other.
  void countLines(std::size_t from, std::size_t to) {
    for (std::size_t p = from; p < to; ++p) {
      if (text_[p] == '\n') {
        ++line_;
        lineStart_ = p + 1;
      }
    }
  }

  std::size_t runSize() const { return block_->text_.size() - runBegin_; }

  void endRun(std::size_t invocation) {
    block_->steps_.push_back({runBegin_, runSize(), runLineEnd_, invocation});
    runBegin_ = block_->text_.size();
    runLineEnd_ = 0;
  }

  const std::string_view text_;
  std::unique_ptr<CompiledBlock> block_;
  std::size_t runBegin_ = 0;
  std::size_t runLineEnd_ = 0;
  std::uint64_t line_ = 1;
  std::size_t lineStart_ = 0;  // offset of the current template line's first byte
  // The next '$' and backslash at or after the last search.
  std::size_t nextDollar_;
  std::size_t nextBackslash_;
};

std::shared_ptr<const CompiledBlock> CompiledBlock::compile(std::string_view text) {
  return BlockCompiler(text).run();
}

}  // namespace wyx::tool
