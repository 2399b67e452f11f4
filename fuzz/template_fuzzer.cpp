// Parses arbitrary bytes as a template and expands every block with a few
// macros, one of which expands blocks again. Two passes must agree byte for
// byte: the first parses from memory and expands the parsed blocks with
// macros that return their text; the second parses through a stream of
// short reads, which must give the same blocks, and expands each block from
// a stream of short reads again, with macros that write their text into the
// expansion's output instead (the nested expansion too, as the generator's
// macros do).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "wyx/tool/macro_expander.hpp"
#include "wyx/tool/macro_output.hpp"
#include "wyx/tool/test_support.hpp"

namespace {

using wyx::tool::blockmap_t;
using wyx::tool::EMacroException;
using wyx::tool::macro_context_t;
using wyx::tool::MacroExpander;
using wyx::tool::makeMacroWriter;

constexpr int kMaxDepth = 4;
// What the nested expansions of one pass may do, so that they cannot
// multiply without end: a nested expansion costs far more than a byte of
// input, and inputs drift towards whatever limit is set. These reach every
// path of the engine (a collected text outgrows its first buffer at 256
// bytes; four levels nest) and keep the fuzzer fast.
constexpr int kMaxNested = 16;
constexpr std::size_t kMaxNestedText = 1 << 14;
// Reads of the second pass deliver 1 to kMaxRead bytes.
constexpr std::uint32_t kMaxRead = 16;

struct Run {
  blockmap_t blocks;
  int depth = 0;
  int nested = 0;
  std::size_t text = 0;  // bytes the nested expansions produced
};

std::string columnPadding(const macro_context_t& c) {
  const int missing = std::atoi(c.args.c_str()) - c.outputColumn;
  return missing > 0 && missing < 512 ? std::string(static_cast<std::size_t>(missing), ' ')
                                      : std::string();
}

// Runs `expandNested(child, block)` for the block named by the arguments
// with a copy of the expander that knows DEPTH, unless a limit is reached;
// `expandNested` returns the size of the nested text.
template <class ExpandNested>
void nest(Run& run, const macro_context_t& c, ExpandNested expandNested) {
  auto found = run.blocks.find(c.args);
  if (found == run.blocks.end() || !found->second.stream || run.depth >= kMaxDepth ||
      run.nested >= kMaxNested || run.text >= kMaxNestedText) {
    return;
  }
  ++run.nested;
  MacroExpander child(*c.expander);
  child.addMacro("DEPTH", [&run](const macro_context_t&) { return std::to_string(run.depth); });
  ++run.depth;
  std::size_t size = 0;
  try {
    size = expandNested(child, found->second);
  } catch (...) {
    --run.depth;
    throw;
  }
  --run.depth;
  run.text += size;
}

MacroExpander makeExpander(Run& run, bool writing) {
  MacroExpander expander;
  expander.addMacro("POS", [](const macro_context_t& c) {
    return std::to_string(c.line) + ":" + std::to_string(c.column) + std::string("\n\0tail", 6);
  });
  expander.addMacro("FAIL", [](const macro_context_t& c) -> std::string {
    throw EMacroException("failed: " + c.args);
  });
  if (!writing) {
    expander.addMacro("COL", columnPadding);
    expander.addMacro("ECHO", [](const macro_context_t& c) { return c.args; });
    expander.addMacro("BLOCK", [&run](const macro_context_t& c) {
      std::string text;
      nest(run, c, [&text](MacroExpander& child, const wyx::tool::block_t& block) {
        text = wyx::tool::testing::expandToString(child, block);
        return text.size();
      });
      return text;
    });
    return expander;
  }
  expander.addMacro(
      "COL", makeMacroWriter([](const macro_context_t& c) { c.output->write(columnPadding(c)); }));
  expander.addMacro("ECHO",
                    makeMacroWriter([](const macro_context_t& c) { c.output->write(c.args); }));
  expander.addMacro("BLOCK", makeMacroWriter([&run](const macro_context_t& c) {
                      nest(run, c, [&c](MacroExpander& child, const wyx::tool::block_t& block) {
                        const std::uint64_t before = c.output->count();
                        child.expand(block, *c.output);
                        return static_cast<std::size_t>(c.output->count() - before);
                      });
                    }));
  return expander;
}

// Everything one pass observes, as text: the blocks, then each expansion.
// `maxRead` 0 is the first pass.
std::string runPass(const std::string& text, std::uint32_t maxRead) {
  namespace testing = wyx::tool::testing;
  Run run;
  try {
    if (maxRead == 0) {
      auto source = testing::memoryStreamOf(text);
      MacroExpander::parseBlocks(*source, run.blocks);
    } else {
      testing::TrickleStream source(text, maxRead);
      MacroExpander::parseBlocks(source, run.blocks);
    }
  } catch (const EMacroException& error) {
    return std::string("parse error: ") + error.what();
  }
  std::string trace = testing::dumpBlocks(run.blocks);
  MacroExpander expander = makeExpander(run, maxRead != 0);
  for (const auto& [name, block] : run.blocks) {
    trace += "[" + name + "]";
    try {
      trace += testing::expandToString(
          expander, maxRead == 0
                        ? block
                        : testing::trickleBlockOf(testing::blockText(block), maxRead, block.line));
    } catch (const EMacroException& error) {
      trace += std::string("error: ") + error.what() + "@" + std::to_string(error.line()) + ":" +
               std::to_string(error.column());
    }
  }
  return trace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 1 << 16) return 0;
  const std::uint32_t maxRead = 1 + data[0] % kMaxRead;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (runPass(text, 0) != runPass(text, maxRead)) std::abort();
  return 0;
}
