#include "app/driver.hpp"

#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/type_name.hpp"
#include "persist/persistence_loader.hpp"
#include "qirt/format_header_generator.hpp"
#include "qirt/format_header_settings.hpp"
#include "qirt/template_library.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/strings.hpp"
#include "wyx/platform/platform.hpp"
#include "wyx/unicode/unicode.hpp"

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
    "The options file describes one object and may set four values:\n"
    "    object Options: TPersistenceWrapper\n"
    "      Persistent.MaxFormatParams = 10\n"
    "      Persistent.MaxFixedParams = 2\n"
    "      Persistent.FormatNames.Strings = ('printf' 'sprintf')\n"
    "      Persistent.CompileTimeChecks = True\n"
    "    end\n"
    "MaxFormatParams  wrappers take 0 to MaxFormatParams - 1 format arguments (default 10)\n"
    "MaxFixedParams   declarations for 0 to MaxFixedParams fixed parameters (default 2)\n"
    "FormatNames      the functions to wrap (default: printf, wprintf, sprintf, swprintf,\n"
    "                 fprintf, fwprintf, scanf, wscanf, sscanf, swscanf, fscanf, fwscanf,\n"
    "                 cat_printf, cat_sprintf)\n"
    "CompileTimeChecks\n"
    "                 True: the compiler also checks every routed call (default False)\n"
    "\n"
    "Exit status: 0 headers written (or --help, --version), 1 a failure was reported,\n"
    "2 wrong number of operands.\n";

void print(std::FILE* out, const char* text) {
  wyx::platform::writeOutput(out, text, std::strlen(text));
}

// The one-line report of a failure. Names and messages can carry bytes of a
// damaged options file; a line feed or a NUL among them would break the line
// or hide its rest, so every control character shows as "?". Built in a
// fixed buffer: it may be the report of an allocation failure.
class ReportLine {
 public:
  explicit ReportLine(std::FILE* out) : out_(out) {}
  ~ReportLine() { flush(); }

  void add(const char* text) { add(text, std::strlen(text)); }
  void add(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) put(text[i]);
  }
  void add(const wyx::UnicodeString& text) {
    for (std::size_t i = 0; i < text.size();) {
      char bytes[4];
      add(bytes, wyx::encodeUtf8(wyx::unicode::nextUtf16(text.data(), i, text.size()), bytes));
    }
  }

 private:
  void put(char c) {
    if (size_ == sizeof buffer_) flushWholeSequences();
    buffer_[size_++] = static_cast<unsigned char>(c) < 0x20 ? '?' : c;
  }

  // Output takes whole UTF-8 sequences; an unfinished one at the end waits.
  void flushWholeSequences() {
    std::size_t lead = size_;
    while (lead > 0 && size_ - lead < 4 && (buffer_[lead - 1] & 0xC0) == 0x80) --lead;
    std::size_t cut = size_;
    if (lead > 0) {
      const unsigned char first = static_cast<unsigned char>(buffer_[lead - 1]);
      const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
      if (lead - 1 + length > size_) cut = lead - 1;
    }
    wyx::platform::writeOutput(out_, buffer_, cut);
    std::memmove(buffer_, buffer_ + cut, size_ - cut);
    size_ -= cut;
  }
  void flush() {
    wyx::platform::writeOutput(out_, buffer_, size_);
    size_ = 0;
  }

  std::FILE* out_;
  char buffer_[512];
  std::size_t size_ = 0;
};

template <class Message>
void printReport(std::FILE* out, const char* name, const Message& message) {
  ReportLine line(out);
  line.add(name);
  line.add(": ");
  line.add(message);
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
    print(out, kUnknownException);
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

}  // namespace

int runDriver(int argc, wyx::platform::native_char_t** argv, std::FILE* out,
              const qirt::TemplateLibrary* templates) {
  print(out, kBanner);
  std::vector<wyx::UnicodeString> operands;
  int status = reported(out, [&] { operands = wyx::platform::commandLineOperands(argc, argv); });
  if (status == kExitSuccess) status = dispatch(operands, out, templates);
  std::fflush(out);
  return status;
}

}  // namespace korven
