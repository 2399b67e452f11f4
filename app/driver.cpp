#include "app/driver.hpp"

#include <cstring>
#include <exception>
#include <memory>

#include "app/type_name.hpp"
#include "persist/wyxPersistUtils.hpp"
#include "qirt/formatheadergenerator.hpp"
#include "qirt/formatheadersettings.hpp"
#include "qirt/template_library.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/platform.hpp"

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

void print(std::FILE* out, const char* text) { std::fputs(text, out); }

// Names and messages can carry bytes of a damaged options file; a line feed
// or a NUL among them would break the one-line report or hide its rest. The
// report is written without allocating: it may be the report of an
// allocation failure.
void printReportText(std::FILE* out, const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::fputc(c < 0x20 ? '?' : c, out);
  }
}

void printReportText(std::FILE* out, const wyx::UnicodeString& text) {
  for (std::size_t i = 0; i < text.size();) {
    char bytes[4];
    printReportText(out, bytes, wyx::encodeUtf8(wyx::nextCodePoint(text, &i), bytes));
  }
}

void printReportText(std::FILE* out, const char* text) {
  printReportText(out, text, std::strlen(text));
}

template <class Message>
void printReport(std::FILE* out, const char* name, const Message& message) {
  printReportText(out, name);
  std::fputs(": ", out);
  printReportText(out, message);
}

// Runs `work`; a failure becomes the one line that reports it.
template <class Work>
int reported(std::FILE* out, Work&& work) {
  try {
    work();
    return kExitSuccess;
  } catch (const std::exception& e) {
    printReport(out, qualifiedClassName(typeid(e)).text, e.what());
  } catch (const wyx::oo::Exception& e) {
    printReport(out, e.className(), e.message());
  } catch (...) {
    std::fputs(kUnknownException, out);
  }
  return kExitFailure;
}

// `templates` null stands for the built-in ones, which are set up only here,
// inside the handler: that takes memory too.
void generate(const std::vector<wyx::UnicodeString>& operands,
              const qirt::TemplateLibrary* templates) {
  auto settings = std::make_unique<qirt::TFormatHeaderSettings>();
  persist::LoadPersistentFromFile(operands[0], settings.get());
  qirt::writeFormatHeaderFiles(settings.get(), operands[1],
                               templates != nullptr ? *templates : qirt::builtInTemplates());
}

// Everything after the banner.
int dispatch(const std::vector<wyx::UnicodeString>& operands, std::FILE* out,
             const qirt::TemplateLibrary* templates) {
  if (operands.size() == 2) {
    return reported(out, [&] {
      generate(operands, templates);
      print(out, kSuccess);
    });
  }
  if (operands.size() == 1 && operands[0] == u"--version") return kExitSuccess;
  if (operands.size() == 1 && operands[0] == u"--help") {
    print(out, kUsage);
    print(out, kHelp);
    return kExitSuccess;
  }
  print(out, kUsage);
  if (!operands.empty()) print(out, kWrongArgumentCount);
  return kExitUsage;
}

int runWith(const std::vector<wyx::UnicodeString>& operands, std::FILE* out,
            const qirt::TemplateLibrary* templates) {
  print(out, kBanner);
  int status = dispatch(operands, out, templates);
  std::fflush(out);
  return status;
}

int runWith(int argc, wyx::platform::native_char_t** argv, std::FILE* out,
            const qirt::TemplateLibrary* templates) {
  print(out, kBanner);
  std::vector<wyx::UnicodeString> operands;
  int status = reported(out, [&] { operands = wyx::platform::commandLineOperands(argc, argv); });
  if (status == kExitSuccess) status = dispatch(operands, out, templates);
  std::fflush(out);
  return status;
}

}  // namespace

int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out,
              const qirt::TemplateLibrary& templates) {
  return runWith(operands, out, &templates);
}

int runDriver(const std::vector<wyx::UnicodeString>& operands, std::FILE* out) {
  return runWith(operands, out, nullptr);
}

int runDriver(int argc, wyx::platform::native_char_t** argv, std::FILE* out,
              const qirt::TemplateLibrary& templates) {
  return runWith(argc, argv, out, &templates);
}

int runDriver(int argc, wyx::platform::native_char_t** argv, std::FILE* out) {
  return runWith(argc, argv, out, nullptr);
}

}  // namespace korven
