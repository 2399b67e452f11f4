#include "app/test_support.hpp"

namespace korven {
namespace {

using wyx::platform::native_char_t;
using wyx::platform::native_path_t;

// Encodes the operands as the system hands them to the entry point, behind
// an empty program name; the driver decodes them back unchanged.
int runEncoded(const std::vector<wyx::UnicodeString>& operands, std::FILE* out,
               const qirt::TemplateLibrary* templates) {
  std::vector<native_path_t> arguments(1);
  for (const wyx::UnicodeString& operand : operands) {
    arguments.push_back(wyx::platform::nativePath(operand));
  }
  std::vector<native_char_t*> argv;
  for (native_path_t& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return runDriver(static_cast<int>(arguments.size()), argv.data(), out, templates);
}

}  // namespace

int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out) {
  return runEncoded(operands, out, nullptr);
}

int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out,
              const qirt::TemplateLibrary& templates) {
  return runEncoded(operands, out, &templates);
}

int runDriver(int argc, native_char_t** argv, std::FILE* out,
              const qirt::TemplateLibrary& templates) {
  return runDriver(argc, argv, out, &templates);
}

}  // namespace korven
