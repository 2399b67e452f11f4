// The driver as the tests run it: with operands that are already decoded,
// and with other templates than the built-in ones. Linked only into test
// programs.
#pragma once

#include <cstdio>
#include <vector>

#include "app/driver.hpp"
#include "wyx/oo/strings.hpp"
#include "wyx/platform/platform.hpp"

namespace korven {

// runDriver for `operands` (the arguments after the program name), passed
// on as the program's entry point would get them.
int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out);

// The same with other templates than the built-in ones; they must stay
// alive for the call.
int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out,
              const qirt::TemplateLibrary& templates);
int runDriver(int argc, wyx::platform::native_char_t** argv, std::FILE* out,
              const qirt::TemplateLibrary& templates);

}  // namespace korven
