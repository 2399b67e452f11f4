#include "wyx/tool/macro_exception.hpp"

#include "wyx/oo/strings.hpp"

namespace wyx::tool {


EMacroException EMacroException::at(std::int32_t line, std::int32_t column,
                                    const std::string& inner) {
  return EMacroException(formatString("Macro error in line %d, column %d: ", line, column) + inner,
                         line, column);
}

}  // namespace wyx::tool
