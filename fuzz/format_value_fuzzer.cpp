// Arbitrary specifier and value through formatValue; the specifier is also
// scanned on its own, which must end after a bounded number of calls.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "wyx/tool/format_parser.hpp"
#include "wyx/tool/format_value.hpp"
#include "wyx/tool/macro_exception.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte splits the rest into specifier and value.
  const std::size_t specSize = std::min<std::size_t>(data[0], size - 1);
  const char* rest = reinterpret_cast<const char*>(data) + 1;
  const std::string spec(rest, specSize);
  const std::string value(rest + specSize, size - 1 - specSize);

  wyx::tool::FormatParser parser(spec.c_str(), wyx::tool::charClassTable, true);
  // Each specifier takes at most two calls (a '*' is reported first).
  std::size_t calls = 0;
  while (parser.next() != wyx::tool::kSpecifierEnd) {
    if (++calls > 2 * spec.size() + 2) std::abort();
  }

  try {
    const std::string result = wyx::tool::formatValue(spec, value);
    // Output is bounded by the literal text, the field width and the value.
    if (result.size() > spec.size() + wyx::tool::kMaxFieldWidth + 4 * value.size() + 5000) {
      std::abort();
    }
  } catch (const wyx::tool::EMacroException&) {
  }
  return 0;
}
