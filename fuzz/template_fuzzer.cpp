// Parses arbitrary bytes as a template and expands every block with a few
// macros, one of which expands blocks again. The same template is parsed and
// expanded a second time through a stream with small reads; both runs must
// agree byte for byte.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "wyx/tool/macro_expander.hpp"
#include "wyx/tool/test_support.hpp"

namespace {

using wyx::tool::blockmap_t;
using wyx::tool::EMacroException;
using wyx::tool::MacroExpander;
using wyx::tool::macro_context_t;

constexpr int kMaxDepth = 4;
// Total bytes the recursive macro may produce per run, so that nested
// expansions cannot multiply without end.
constexpr std::size_t kRecursionBudget = 1 << 20;

struct Run {
  blockmap_t blocks;
  int depth = 0;
  std::size_t budget = kRecursionBudget;
};

MacroExpander makeExpander(Run& run) {
  MacroExpander expander;
  expander.addMacro("COL", [](const macro_context_t& c) {
    const int missing = std::atoi(c.args.c_str()) - c.outputColumn;
    return missing > 0 && missing < 512 ? std::string(static_cast<std::size_t>(missing), ' ')
                                        : std::string();
  });
  expander.addMacro("ECHO", [](const macro_context_t& c) { return c.args; });
  expander.addMacro("POS", [](const macro_context_t& c) {
    return std::to_string(c.line) + ":" + std::to_string(c.column) + std::string("\n\0tail", 6);
  });
  expander.addMacro("FAIL", [](const macro_context_t& c) -> std::string {
    throw EMacroException("failed: " + c.args);
  });
  expander.addMacro("BLOCK", [&run](const macro_context_t& c) {
    auto found = run.blocks.find(c.args);
    if (found == run.blocks.end() || !found->second.stream || run.depth >= kMaxDepth ||
        run.budget == 0) {
      return std::string();
    }
    MacroExpander child(*c.expander);
    child.addMacro("DEPTH", [&run](const macro_context_t&) { return std::to_string(run.depth); });
    ++run.depth;
    std::string text;
    try {
      text = wyx::tool::testing::expandToString(child, found->second);
    } catch (...) {
      --run.depth;
      throw;
    }
    --run.depth;
    run.budget -= std::min(run.budget, text.size() + 1);
    return text;
  });
  return expander;
}

// Everything one pass observes, as text.
std::string runPass(const std::string& text, std::uint32_t maxRead) {
  Run run;
  std::string trace;
  try {
    if (maxRead == 0) {
      auto source = wyx::tool::testing::memoryStreamOf(text);
      MacroExpander::parseBlocks(*source, run.blocks);
    } else {
      wyx::tool::testing::TrickleStream source(text, maxRead);
      MacroExpander::parseBlocks(source, run.blocks);
    }
  } catch (const EMacroException& error) {
    return std::string("parse error: ") + error.what();
  }
  MacroExpander expander = makeExpander(run);
  for (const auto& [name, block] : run.blocks) {
    trace += "[" + name + "]";
    const wyx::tool::block_t source =
        maxRead == 0 ? block
                     : wyx::tool::testing::trickleBlockOf(wyx::tool::testing::blockText(block),
                                                          maxRead, block.line);
    try {
      trace += wyx::tool::testing::expandToString(expander, source);
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
  const std::uint32_t maxRead = 1 + data[0] % 13;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string whole = runPass(text, 0);
  const std::string trickled = runPass(text, maxRead);
  if (whole != trickled) std::abort();
  return 0;
}
