// Expansion throughput: a block of about 1 MB of template text with a few
// thousand invocations, parsed once like every template block and expanded
// into a memory stream, with macros that write their text into the output
// (as the generator's do) and with macros that return it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/tool/macro_expander.hpp"
#include "wyx/tool/macro_output.hpp"

namespace {

using wyx::tool::macro_context_t;
using wyx::tool::MacroExpander;

// Lines in the style of the generated headers: continuation backslashes
// aligned with COL, parameter lists from short macros, and escapes.
std::string makeBlockText(std::size_t targetSize) {
  const std::string lines =
      "    template <class formattype$(TYPES)> \\\\\r\n"
      "    inline int _safe_fname($(SIG)formattype format$(ARGS)) $(COL 76)\\\\\r\n"
      "    { \\\\\r\n"
      "        static const TypeID types[] = { 0 }; // no escapes on this line at all \\\\\r\n"
      "        return checkFormat(format, types, sizeof(types) / sizeof(types[0])); \\\\\r\n"
      "    } $%3d(COUNT) \\\\\r\n"
      "    // padding text that stands for the many literal lines of a real block \\\\\r\n"
      "    // and keeps the invocation density near a few thousand per megabyte \\\\\r\n"
      "    // of template text, as in the generated declaration headers \\\\\r\n";
  std::string text;
  while (text.size() < targetSize) text += lines;
  return text;
}

MacroExpander makeReturningExpander() {
  MacroExpander expander;
  expander.addMacro("COL", [](const macro_context_t& c) {
    const int missing = std::atoi(c.args.c_str()) - c.outputColumn;
    return missing > 0 ? std::string(static_cast<std::size_t>(missing), ' ') : std::string();
  });
  expander.addMacro("TYPES", [](const macro_context_t&) { return std::string(", T0, T1"); });
  expander.addMacro("SIG", [](const macro_context_t&) { return std::string("p0type p0, "); });
  expander.addMacro("ARGS", [](const macro_context_t&) { return std::string(", T0 t0, T1 t1"); });
  expander.addMacro("COUNT", [](const macro_context_t&) { return std::string("2"); });
  return expander;
}

// The same macros, writing their text into the invocation's output.
MacroExpander makeWritingExpander() {
  using wyx::tool::makeMacroWriter;
  MacroExpander expander;
  expander.addMacro("COL", makeMacroWriter([](const macro_context_t& c) {
                      const int missing = std::atoi(c.args.c_str()) - c.outputColumn;
                      if (missing > 0) c.output->fill(' ', static_cast<std::size_t>(missing));
                    }));
  expander.addMacro("TYPES",
                    makeMacroWriter([](const macro_context_t& c) { c.output->write(", T0, T1"); }));
  expander.addMacro(
      "SIG", makeMacroWriter([](const macro_context_t& c) { c.output->write("p0type p0, "); }));
  expander.addMacro(
      "ARGS", makeMacroWriter([](const macro_context_t& c) { c.output->write(", T0 t0, T1 t1"); }));
  expander.addMacro("COUNT",
                    makeMacroWriter([](const macro_context_t& c) { c.output->write("2"); }));
  return expander;
}

void expandMegabyteBlock(benchmark::State& state, MacroExpander expander) {
  const std::string text = makeBlockText(1 << 20);
  // As a template parses it: one block, compiled once.
  const std::string source = ":B\r\n" + text + "\r\n:END\r\n";
  auto stream = wyx::io::makeSharedStream<wyx::io::MemoryStream>();
  wyx::oo::checkStatus(
      stream->writeBuffer(source.data(), static_cast<std::uint32_t>(source.size())));
  wyx::oo::checkStatus(stream->setPosition(0));
  MacroExpander::blockmap_t blocks;
  MacroExpander::parseBlocks(*stream, blocks);
  const MacroExpander::block_t& block = blocks.at("B");

  std::size_t invocations = 0;
  for (std::size_t at = text.find("$"); at != std::string::npos; at = text.find("$", at + 1)) {
    ++invocations;
  }
  std::uint64_t written = 0;
  for (auto _ : state) {
    auto output = wyx::io::makeSharedStream<wyx::io::MemoryStream>();
    expander.expand(block, *output);
    written += output->getSize();
    benchmark::DoNotOptimize(output->data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(written));
  state.counters["input_bytes"] = static_cast<double>(text.size());
  state.counters["invocations"] = static_cast<double>(invocations);
}

void BM_ExpandMegabyteBlock(benchmark::State& state) {
  expandMegabyteBlock(state, makeWritingExpander());
}
BENCHMARK(BM_ExpandMegabyteBlock)->Unit(benchmark::kMillisecond);

void BM_ExpandMegabyteBlockReturningMacros(benchmark::State& state) {
  expandMegabyteBlock(state, makeReturningExpander());
}
BENCHMARK(BM_ExpandMegabyteBlockReturningMacros)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
