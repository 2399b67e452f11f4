// Expansion throughput: a block of about 1 MB of template text with a few
// thousand invocations, expanded into a memory stream.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace {

using wyx::tool::MacroExpander;
using wyx::tool::macro_context_t;

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

MacroExpander makeExpander() {
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

void BM_ExpandMegabyteBlock(benchmark::State& state) {
  const std::string text = makeBlockText(1 << 20);
  auto stream = wyx::io::makeSharedStream<wyx::io::MemoryStream>();
  wyx::oo::checkStatus(stream->writeBuffer(text.data(), static_cast<std::uint32_t>(text.size())));
  const MacroExpander::block_t block{stream, 1};
  MacroExpander expander = makeExpander();

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
BENCHMARK(BM_ExpandMegabyteBlock)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
