// The template engine: a template is split into named blocks by directive
// lines (":NAME" opens a block, ":END" closes the innermost one), and a block
// is expanded by copying its text with backslash escapes resolved and every
// invocation "$(NAME args)" or "$%spec(NAME args)" replaced by the text of
// the registered macro NAME, formatted with the printf-style specifier
// (formatValue; "%s" by default). A macro either writes its text into the
// expansion's output or returns it. A block is parsed once (CompiledBlock);
// every expansion walks the parsed form with the macros the expander's
// table holds at that moment.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "wyx/io/stream.hpp"
#include "wyx/tool/macro_exception.hpp"
#include "wyx/tool/map_entry.hpp"

namespace wyx::tool {

class CompiledBlock;
class MacroOutput;

class MacroExpander {
 public:
  // One defined block. `stream` holds exactly the block's text (shared with
  // every copy of this record); null stands for "not defined". `line` is the
  // 1-based template line of the block's opening directive. `compiled` is
  // the text parsed for expansion (parseBlocks sets it; the stream's text
  // must not change afterwards); without it every expansion parses the
  // stream's text anew.
  struct block_t {
    io::IStreamPtr stream;
    std::int32_t line = 0;
    std::shared_ptr<const CompiledBlock> compiled = {};
  };

  // An entry of the open-block stack while a template is parsed.
  struct namedblock_t : block_t {
    std::string name;
  };

  // Block name (byte-wise, case-sensitive) to block. Owned by the caller;
  // parseBlocks adds to whatever it already holds.
  using blockmap_t = std::map<std::string, block_t>;

  // What a macro learns about one invocation. Lives only during the call;
  // the strings belong to the expansion.
  struct macro_context_t {
    MacroExpander* expander;       // the expander performing this expansion
    const std::string& name;       // the invoked name
    const std::string& args;       // argument text, escapes resolved
    std::int32_t line;             // 1-based line of the '$' within the block text
    std::int32_t column;           // 1-based column of the '$'
    std::int32_t outputColumn;     // bytes this expansion wrote since its last line feed
    const std::string& specifier;  // the format its text goes through: "%s" by default
    MacroOutput* output;           // where a writing macro puts its text (see MacroWriter)
  };

  // Computes an invocation's replacement text. May hold bound state; the text
  // it returns is written as is (after formatting), never rescanned.
  using macro_t = std::function<std::string(const macro_context_t&)>;

  // A macro that writes its text into `context.output` instead of returning
  // it. With the default specifier that is the expansion's own output, so
  // the text is written once, where it belongs; with another one the engine
  // collects the text and formats it. Unlike a returned text, a written one
  // is not cut at a NUL byte.
  class MacroWriter {
   public:
    virtual ~MacroWriter() = default;
    virtual void write(const macro_context_t& context) = 0;
  };
  using macro_writer_t = std::shared_ptr<MacroWriter>;

  // A macro table entry: a returning macro or a writing one.
  struct macro_entry_t {
    macro_t text;
    macro_writer_t writer;
  };

  // A copy has the macros of `other` and nothing else of it: what an
  // expander remembers of parsed blocks holds for its own table only.
  MacroExpander();
  MacroExpander(const MacroExpander& other);
  MacroExpander& operator=(const MacroExpander& other);
  ~MacroExpander();

  // Registers `fn` under `name`. A name already present keeps its first
  // macro; `fn` is then dropped silently.
  void addMacro(const std::string& name, const macro_t& fn);
  void addMacro(const std::string& name, macro_writer_t writer);

  // True when `name` is registered.
  bool hasMacro(const std::string& name) const { return macros_.count(name) != 0; }

  // Expands `block` from its beginning into `output` at output's current
  // position. A block whose stream is null raises std::invalid_argument.
  // Throws EMacroException, prefixed
  // with the template position of the failing invocation; any other exception
  // (stream errors as ESafecallException, a macro's own errors) passes
  // through unchanged. Output written before an error stays written. Calls
  // may nest: a macro may expand blocks again, with this or another expander.
  // An expander serves one thread at a time; parsed blocks (block_t's
  // `compiled`) never change, so threads with expanders of their own may
  // expand the same blocks at once.
  // Every byte that precedes an invocation of a returning macro reaches
  // `output` before the macro is called, so such a macro may itself write to
  // the same output.
  void expand(const block_t& block, io::IStream& output);

  // The same into an output that an expansion is writing, such as the
  // `output` of a macro's context; the text then stands where the macro's
  // text would, and columns count as if it had been returned. Nothing is
  // flushed.
  void expand(const block_t& block, MacroOutput& output);

  // Reads `source` from its current position to its end or first NUL byte
  // and adds every block of the template to `blocks`, compiled; text outside
  // blocks is discarded. Throws EMacroException for a surplus ":END", a
  // block defined twice (also across calls into one table) and for blocks
  // left open. Stream errors propagate unchanged. On error, `blocks` may
  // already hold the blocks closed before it.
  static void parseBlocks(io::IStream& source, blockmap_t& blocks);

 private:
  class Expansion;

  // The entries that a parsed block's invocation names have in the table
  // whose id is `tableId`, in the order of the block's invocations; null
  // for an unknown name.
  struct resolution_t {
    std::uint64_t tableId;
    std::vector<const macro_entry_t*> entries;
  };
  using resolution_ptr = std::shared_ptr<const resolution_t>;

  // The resolution of `block` for the table as it is now; with `keep`, it
  // is also kept for the block's next expansion.
  resolution_ptr resolve(const std::shared_ptr<const CompiledBlock>& block, bool keep);

  std::map<std::string, macro_entry_t, std::less<>> macros_;
  // Changes whenever the table does; never the same for two tables.
  std::uint64_t tableId_;
  // Kept resolutions by parsed block. A weak key never matches a later
  // block at the same address, and an entry of a block that has died is
  // dropped when the map has doubled since the last sweep.
  std::map<std::weak_ptr<const CompiledBlock>, resolution_ptr, std::owner_less<>> resolved_;
  std::size_t sweepAt_;
};

// A writing macro that calls `fn(context)`; `fn` writes to context.output.
template <class Fn>
MacroExpander::macro_writer_t makeMacroWriter(Fn fn) {
  class Writer final : public MacroExpander::MacroWriter {
   public:
    explicit Writer(Fn f) : fn_(std::move(f)) {}
    void write(const MacroExpander::macro_context_t& context) override { fn_(context); }

   private:
    Fn fn_;
  };
  return std::make_shared<Writer>(std::move(fn));
}

using block_t = MacroExpander::block_t;
using namedblock_t = MacroExpander::namedblock_t;
using blockmap_t = MacroExpander::blockmap_t;
using macro_context_t = MacroExpander::macro_context_t;
using macro_t = MacroExpander::macro_t;
using macro_writer_t = MacroExpander::macro_writer_t;

}  // namespace wyx::tool
