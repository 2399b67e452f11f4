#include "app/driver.hpp"

#include <exception>
#include <memory>

#include "app/type_name.hpp"
#include "persist/wyxPersistUtils.hpp"
#include "qirt/formatheadergenerator.hpp"
#include "qirt/formatheadersettings.hpp"
#include "qirt/template_library.hpp"
#include "wyx/oo/exception.hpp"

namespace korven {
namespace {

constexpr char kBanner[] =
    "QirtFormat Header Generator v1.0.3\n"
    "Writes the headers of the printf-family format checks.\n"
    "\n";
constexpr char kUsage[] = "Usage:\n    KORVEN optionsfile outputpath\n\n";
constexpr char kWrongArgumentCount[] = "Error: Wrong number of arguments\n";
constexpr char kSuccess[] = "Files written successfully.\n";
constexpr char kUnknownException[] = "Unknown exception occured\n";
constexpr char kHelp[] =
    "Writes format_definition_begin.hpp, format_definition_end.hpp and\n"
    "format_typelist.hpp into the existing directory outputpath.\n"
    "\n"
    "The options file describes one object and may set three values:\n"
    "    object Options: TPersistenceWrapper\n"
    "      Persistent.MaxFormatParams = 10\n"
    "      Persistent.MaxFixedParams = 2\n"
    "      Persistent.FormatNames.Strings = ('printf' 'sprintf')\n"
    "    end\n"
    "MaxFormatParams  wrappers take 0 to MaxFormatParams - 1 format arguments (default 10)\n"
    "MaxFixedParams   declarations for 0 to MaxFixedParams fixed parameters (default 2)\n"
    "FormatNames      the functions to wrap (default: printf, wprintf, sprintf, swprintf,\n"
    "                 fprintf, fwprintf, scanf, wscanf, sscanf, swscanf, fscanf, fwscanf,\n"
    "                 cat_printf, cat_sprintf)\n"
    "\n"
    "Exit status: 0 headers written (or --help, --version), 1 a failure was reported,\n"
    "2 wrong number of operands.\n";

void print(std::FILE* out, const std::string& text) { std::fwrite(text.data(), 1, text.size(), out); }

void generate(const std::vector<std::string>& operands, const qirt::TemplateLibrary& templates) {
  auto settings = std::make_unique<qirt::TFormatHeaderSettings>();
  persist::LoadPersistentFromFile(wyx::fromUtf8(operands[0]), settings.get());
  qirt::writeFormatHeaderFiles(settings.get(), wyx::fromUtf8(operands[1]), templates);
}

// Runs the two-operand case; every failure becomes its one line.
int generateAndReport(const std::vector<std::string>& operands, std::FILE* out,
                      const qirt::TemplateLibrary& templates) {
  try {
    generate(operands, templates);
    print(out, kSuccess);
    return kExitSuccess;
  } catch (const std::exception& e) {
    print(out, qualifiedClassName(typeid(e)) + ": " + e.what());
  } catch (const wyx::oo::Exception& e) {
    print(out, std::string(e.className()) + ": " + wyx::toUtf8(e.message()));
  } catch (...) {
    print(out, kUnknownException);
  }
  return kExitFailure;
}

}  // namespace

int runDriver(const std::vector<std::string>& operands, std::FILE* out,
              const qirt::TemplateLibrary& templates) {
  print(out, kBanner);
  int status;
  if (operands.size() == 2) {
    status = generateAndReport(operands, out, templates);
  } else if (operands.size() == 1 && operands[0] == "--version") {
    status = kExitSuccess;
  } else if (operands.size() == 1 && operands[0] == "--help") {
    print(out, kUsage);
    print(out, kHelp);
    status = kExitSuccess;
  } else {
    print(out, kUsage);
    if (!operands.empty()) print(out, kWrongArgumentCount);
    status = kExitUsage;
  }
  std::fflush(out);
  return status;
}

int runDriver(const std::vector<std::string>& operands, std::FILE* out) {
  return runDriver(operands, out, qirt::builtInTemplates());
}

}  // namespace korven
