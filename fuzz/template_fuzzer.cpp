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
// What one pass may do, so that work cannot multiply without end: inputs
// drift towards whatever limit is set, and a nested expansion or a wide
// field costs far more than a byte of input. These reach every path of the
// engine (a collected text outgrows its first buffer at 256 bytes, a
// stream's at 64 KiB; four levels nest) and keep the fuzzer fast. A first
// pass that writes more than kMaxPassText into its streams is abandoned.
constexpr int kMaxNested = 16;
constexpr std::size_t kMaxPassText = std::size_t{1} << 17;
// Reads of the second pass deliver 1 to kMaxRead bytes.
constexpr std::uint32_t kMaxRead = 16;

struct TooLong {};

// A memory stream that counts what the streams of one pass receive.
class CountedStream final : public wyx::io::MemoryStream {
 public:
  explicit CountedStream(std::size_t* written) : written_(written) {}
  wyx::oo::status_t writeBuffer(const void* data, std::uint32_t count) override {
    *written_ += count;
    if (*written_ > kMaxPassText) throw TooLong();
    return MemoryStream::writeBuffer(data, count);
  }

 private:
  std::size_t* written_;
};

struct Run {
  blockmap_t blocks;
  int depth = 0;
  int nested = 0;
  std::size_t written = 0;  // bytes the pass's streams received
};

std::string expandToString(Run& run, MacroExpander& expander, const wyx::tool::block_t& block) {
  wyx::oo::InterfacePtr<CountedStream> output(new CountedStream(&run.written));
  expander.expand(block, *output);
  return wyx::tool::testing::contentOf(*output);
}

std::string columnPadding(const macro_context_t& c) {
  const int missing = std::atoi(c.args.c_str()) - c.outputColumn;
  return missing > 0 && missing < 512 ? std::string(static_cast<std::size_t>(missing), ' ')
                                      : std::string();
}

// Runs `expandNested(child, block)` for the block named by the arguments
// with a copy of the expander that knows DEPTH, unless a limit is reached.
template <class ExpandNested>
void nest(Run& run, const macro_context_t& c, ExpandNested expandNested) {
  auto found = run.blocks.find(c.args);
  if (found == run.blocks.end() || !found->second.stream || run.depth >= kMaxDepth ||
      run.nested >= kMaxNested) {
    return;
  }
  ++run.nested;
  MacroExpander child(*c.expander);
  child.addMacro("DEPTH", [&run](const macro_context_t&) { return std::to_string(run.depth); });
  ++run.depth;
  try {
    expandNested(child, found->second);
  } catch (...) {
    --run.depth;
    throw;
  }
  --run.depth;
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
      nest(run, c, [&run, &text](MacroExpander& child, const wyx::tool::block_t& block) {
        text = expandToString(run, child, block);
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
                        child.expand(block, *c.output);
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
      trace += expandToString(
          run, expander,
          maxRead == 0 ? block
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
  std::string first;
  try {
    first = runPass(text, 0);
  } catch (const TooLong&) {
    return 0;
  }
  // The second pass writes no more than the first (whose nested texts are
  // counted twice), so a TooLong here is a finding too.
  if (first != runPass(text, maxRead)) std::abort();
  return 0;
}
