// A block's text parsed once for expansion: literal runs with their escapes
// resolved, and the invocations between them with name, arguments,
// specifier and template position. Expanding walks this form instead of
// scanning the text again for every repetition. A parsed block never changes,
// so threads may share it; it knows nothing of macro tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "wyx/tool/template_limits.hpp"

namespace wyx::tool {

class CompiledBlock {
 public:
  // One invocation, read from "$(NAME args)" or "$x spec(NAME args)".
  struct invocation_t {
    std::string name;
    std::string args;       // escapes resolved
    std::string specifier;  // "%s" by default
    bool defaultSpecifier;  // the specifier is "%s", written or not
    std::int32_t line;      // of the '$', 1-based within the block's text
    std::int32_t column;    // of the '$', 1-based
  };

  // Literal bytes, then an invocation (none after the last run).
  struct step_t {
    std::size_t textBegin;  // into text()
    std::size_t textSize;
    std::size_t lineEnd;     // bytes of the run up to its last line feed; 0 without one
    std::size_t invocation;  // into invocations(), or kNone
  };

  // A malformed invocation: raised when the walk reaches it, after the text
  // before it has been written.
  struct error_t {
    std::string message;
    std::int32_t line;
    std::int32_t column;
  };

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Parses `text` up to its end or first NUL byte. Never throws for a
  // malformed text (see error()); only std::bad_alloc.
  static std::shared_ptr<const CompiledBlock> compile(std::string_view text);

  const std::string& text() const { return text_; }
  const std::vector<step_t>& steps() const { return steps_; }
  const std::vector<invocation_t>& invocations() const { return invocations_; }
  // The error that ends the block, or null.
  const error_t* error() const { return error_.get(); }

 private:
  CompiledBlock() = default;
  friend class BlockCompiler;

  std::string text_;
  std::vector<step_t> steps_;
  std::vector<invocation_t> invocations_;
  std::unique_ptr<error_t> error_;
};

}  // namespace wyx::tool
