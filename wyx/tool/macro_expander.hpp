// The template engine: a template is split into named blocks by directive
// lines (":NAME" opens a block, ":END" closes the innermost one), and a block
// is expanded by copying its text with backslash escapes resolved and every
// invocation "$(NAME args)" or "$%spec(NAME args)" replaced by the text the
// registered macro NAME returns, formatted with the printf-style specifier
// (formatValue; "%s" by default).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "wyx/io/stream.hpp"
#include "wyx/tool/macro_exception.hpp"

namespace wyx::tool {

class MacroExpander {
 public:
  // One defined block. `stream` holds exactly the block's text (shared with
  // every copy of this record); null stands for "not defined". `line` is the
  // 1-based template line of the block's opening directive.
  struct block_t {
    io::IStreamPtr stream;
    std::int32_t line = 0;
  };

  // An entry of the open-block stack while a template is parsed.
  struct namedblock_t : block_t {
    std::string name;
  };

  // Block name (byte-wise, case-sensitive) to block. Owned by the caller;
  // parseBlocks adds to whatever it already holds.
  using blockmap_t = std::map<std::string, block_t>;

  // What a macro learns about one invocation. Lives only during the call.
  struct macro_context_t {
    MacroExpander* expander;   // the expander performing this expansion
    std::string name;          // the invoked name
    std::string args;          // argument text, escapes resolved
    std::int32_t line;         // 1-based line of the '$' within the block text
    std::int32_t column;       // 1-based column of the '$'
    std::int32_t outputColumn; // bytes this expansion wrote since its last line feed
    std::string specifier;     // the format its text goes through: "%s" by default
  };

  // Computes an invocation's replacement text. May hold bound state; the text
  // it returns is written as is (after formatting), never rescanned.
  using macro_t = std::function<std::string(const macro_context_t&)>;

  // Longest invocation, from its '$' to its ')', in bytes. A longer one fails
  // with "No closing ')'" (or "Macro name missing" without a '(').
  static constexpr std::uint32_t kMaxInvocationSize = 4096;

  MacroExpander() = default;
  MacroExpander(const MacroExpander&) = default;
  MacroExpander& operator=(const MacroExpander&) = default;

  // Registers `fn` under `name`. A name already present keeps its first
  // macro; `fn` is then dropped silently.
  void addMacro(const std::string& name, const macro_t& fn);

  // True when `name` is registered.
  bool hasMacro(const std::string& name) const { return macros_.count(name) != 0; }
  // The macro registered under `name`, or null. Valid while it stays registered.
  const macro_t* findMacro(const std::string& name) const;

  // Expands `block` from its beginning into `output` at output's current
  // position. A block whose stream is null raises std::invalid_argument.
  // Throws EMacroException, prefixed
  // with the template position of the failing invocation; any other exception
  // (stream errors as ESafecallException, a macro's own errors) passes
  // through unchanged. Output written before an error stays written. Calls
  // may nest: a macro may expand blocks again, with this or another expander.
  // Every byte that precedes an invocation reaches `output` before its macro
  // is called, so a macro may itself write to the same output.
  void expand(const block_t& block, io::IStream& output);

  // Reads `source` from its current position to its end or first NUL byte
  // and adds every block of the template to `blocks`; text outside blocks is
  // discarded. Throws EMacroException for a surplus ":END", a block defined
  // twice (also across calls into one table) and for blocks left open.
  // Stream errors propagate unchanged. On error, `blocks` may already hold
  // the blocks closed before it.
  static void parseBlocks(io::IStream& source, blockmap_t& blocks);

 private:
  std::map<std::string, macro_t, std::less<>> macros_;
};

using block_t = MacroExpander::block_t;
using namedblock_t = MacroExpander::namedblock_t;
using blockmap_t = MacroExpander::blockmap_t;
using macro_context_t = MacroExpander::macro_context_t;
using macro_t = MacroExpander::macro_t;

}  // namespace wyx::tool
