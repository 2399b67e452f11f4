#include "qirt/format_header_settings.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "persist/persistence_loader.hpp"
#include "persist/test_support.hpp"
#include "system_texts.hpp"
#include "wyx/platform/platform.hpp"

namespace qirt {
namespace {

using persist::testing::BinaryBuilder;
using persist::testing::errorOf;
using persist::testing::TempFile;
using persist::ValueTag;

using persist::testing::kWorkedExampleText;

const char kDefaultNames[] =
    "printf,wprintf,sprintf,swprintf,fprintf,fwprintf,scanf,wscanf,sscanf,swscanf,fscanf,"
    "fwscanf,cat_printf,cat_sprintf";

// "max fixed names", the names joined by commas.
std::string dump(const TFormatHeaderSettings& settings) {
  std::string names;
  for (const auto& name : settings.getFormatNames()) {
    if (!names.empty()) names += ',';
    names += wyx::toUtf8(name);
  }
  return std::to_string(settings.getMaxFormatParams()) + " " +
         std::to_string(settings.getMaxFixedParams()) + " " + names;
}

class SettingsLoadTest : public ::testing::Test {
 protected:
  // Loads `bytes` through a real file.
  std::string loadFile(const std::string& bytes) {
    TempFile file(bytes);
    return errorOf([&] { persist::LoadPersistentFromFile(file.path(), &settings_); });
  }
  std::string loadText(const std::string& body) {
    return loadFile("object Options: TPersistenceWrapper\n" + body + "\nend\n");
  }

  TFormatHeaderSettings settings_;
};

TEST(SettingsTest, DefaultsAreTenTwoAndFourteenNames) {
  TFormatHeaderSettings settings;
  EXPECT_EQ(std::string("10 2 ") + kDefaultNames, dump(settings));
  EXPECT_EQ(14u, settings.getFormatNames().count());
  EXPECT_EQ(u"printf", settings.getFormatNames()[0]);
  EXPECT_EQ(u"cat_sprintf", settings.getFormatNames()[13]);
  EXPECT_STREQ("TFormatHeaderSettings", settings.className());
  EXPECT_FALSE(settings.getCompileTimeChecks());
}

TEST_F(SettingsLoadTest, WorkedExampleLoadsInBothForms) {
  EXPECT_EQ("", loadFile(kWorkedExampleText));
  EXPECT_EQ("12 3 printf,sprintf,my_log_printf", dump(settings_));
  EXPECT_EQ(u"Options", persist::persistenceWrapper().getName());
  EXPECT_EQ(&settings_, persist::persistenceWrapper().getPersistent());

  TFormatHeaderSettings fromBinary;
  TempFile binary(persist::testing::convertText(kWorkedExampleText));
  persist::LoadPersistentFromFile(binary.path(), &fromBinary);
  EXPECT_EQ(dump(settings_), dump(fromBinary));
}

TEST_F(SettingsLoadTest, SingleRecordsChangeOnlyWhatTheyName) {
  const std::string kDefaults = kDefaultNames;
  const struct {
    const char* body;
    std::string expected;
  } kCases[] = {
      {"Persistent.MaxFixedParams = 0", "10 0 " + kDefaults},
      {"persistent.maxformatparams = 4", "4 2 " + kDefaults},
      {"Persistent.MaxFormatParams = -1", "4294967295 2 " + kDefaults},
      {"Persistent.MaxFormatParams = $7FFFFFFF", "2147483647 2 " + kDefaults},
      {"Persistent.FormatNames.Strings = ('one')", "10 2 one"},
      {"Persistent.FormatNames.Strings = ('a' 'b' 'a')", "10 2 a,b,a"},
      {"Persistent.FormatNames.Strings = ()", "10 2 "},
      {"Persistent.FormatNames.Strings = ('a')\nPersistent.FormatNames.Strings = ('b' 'c')",
       "10 2 b,c"},
      {"Persistent.MaxFormatParams = 1\nPersistent.MaxFormatParams = 2", "2 2 " + kDefaults},
      {"Left = 8\nTop = 16", "10 2 " + kDefaults},
  };
  for (const auto& c : kCases) {
    TFormatHeaderSettings settings;
    TempFile file("object Options: TPersistenceWrapper\n" + std::string(c.body) + "\nend\n");
    EXPECT_EQ("", errorOf([&] { persist::LoadPersistentFromFile(file.path(), &settings); }))
        << c.body;
    EXPECT_EQ(c.expected, dump(settings)) << c.body;
  }
}

TEST_F(SettingsLoadTest, BadRecordsAreReportedAndLeaveAUsableList) {
  const std::string kAt = "EReadError: Fehler beim Lesen von Options.";
  const struct {
    const char* body;
    std::string expected;
  } kCases[] = {
      {"Persistent.MaxFormatParams = 2147483648",
       kAt + "Persistent.MaxFormatParams: Ungültiger Eigenschaftswert"},
      {"Persistent.MaxFormatParams = 'ten'",
       kAt + "Persistent.MaxFormatParams: Ungültiger Eigenschaftswert"},
      {"Persistent.MaxFormatParams = ten",
       kAt + "Persistent.MaxFormatParams: Ungültiger Eigenschaftswert"},
      {"Persistent.MaxFormatParamz = 1",
       kAt + "Persistent.MaxFormatParamz: Eigenschaft MaxFormatParamz existiert nicht"},
      {"Persistent.FormatNames.Count = 3",
       kAt + "Persistent.FormatNames.Count: Eigenschaft Count existiert nicht"},
      {"Foo.Bar = 1", kAt + "Foo.Bar: Eigenschaft Foo.Bar existiert nicht"},
      {"Persistent.MaxFormatParams.X = 1",
       kAt + "Persistent.MaxFormatParams.X: Ungültiger Pfad für Eigenschaft"},
      {"Persistent.FormatNames.Strings = 'printf'",
       kAt + "Persistent.FormatNames.Strings: Ungültiger Eigenschaftswert"},
      {"Persistent.FormatNames = nil", kAt + "Persistent.FormatNames: Ungültiger Eigenschaftswert"},
      {"Persistent.FormatNames = Owner",
       kAt + "Persistent.FormatNames: Ungültiger Eigenschaftswert"},
      {"Persistent.FormatNames = <item end>",
       kAt + "Persistent.FormatNames: Ungültiger Eigenschaftswert"},
      {"object Button1: TButton end", "EClassNotFound: Klasse TButton nicht gefunden"},
  };
  for (const auto& c : kCases) {
    TFormatHeaderSettings settings;
    TempFile file("object Options: TPersistenceWrapper\n" + std::string(c.body) + "\nend\n");
    EXPECT_EQ(c.expected, errorOf([&] { persist::LoadPersistentFromFile(file.path(), &settings); }))
        << c.body;
    EXPECT_EQ(14u, settings.getFormatNames().count()) << c.body;
  }
}

// CompileTimeChecks takes the Boolean words only; each file is loaded as
// text and in its binary form, which must agree.
TEST_F(SettingsLoadTest, CompileTimeChecksTakesTrueOrFalseInBothForms) {
  const std::string kInvalid =
      "EReadError: Fehler beim Lesen von Options.Persistent.CompileTimeChecks: "
      "Ungültiger Eigenschaftswert";
  const struct {
    const char* body;
    std::string error;
    bool expected;
  } kCases[] = {
      {"Persistent.CompileTimeChecks = True", "", true},
      {"persistent.compiletimechecks = true\nPersistent.CompileTimeChecks = FALSE", "", false},
      {"Persistent.MaxFixedParams = 1", "", false},
      {"Persistent.CompileTimeChecks = 3", kInvalid, false},
      {"Persistent.CompileTimeChecks = 'yes'", kInvalid, false},
      {"Persistent.CompileTimeChecks = yes", kInvalid, false},
      {"Persistent.CompileTimeChecks = nil", kInvalid, false},
  };
  for (const auto& c : kCases) {
    const std::string text =
        "object Options: TPersistenceWrapper\n" + std::string(c.body) + "\nend\n";
    for (const std::string& bytes : {text, persist::testing::convertText(text)}) {
      TFormatHeaderSettings settings;
      TempFile file(bytes);
      EXPECT_EQ(c.error, errorOf([&] { persist::LoadPersistentFromFile(file.path(), &settings); }))
          << c.body;
      EXPECT_EQ(c.expected, settings.getCompileTimeChecks()) << c.body;
    }
  }
}

TEST_F(SettingsLoadTest, AnObjectWithoutNameIsReportedUnderTheWrapperClass) {
  EXPECT_EQ("EReadError: Fehler beim Lesen von TPersistenceWrapper.Persistent.X: "
            "Eigenschaft X existiert nicht",
            loadFile("object TPersistenceWrapper\nPersistent.X = 1\nend"));
  EXPECT_EQ(u"", persist::persistenceWrapper().getName());
}

TEST_F(SettingsLoadTest, TextErrorsChangeNothingButBinaryRecordsBeforeAnErrorStay) {
  EXPECT_EQ("EParserError: ''='' erwartet in Zeile 3",
            loadText("Persistent.MaxFormatParams = 5\nPersistent.MaxFixedParams 1"));
  EXPECT_EQ(std::string("10 2 ") + kDefaultNames, dump(settings_));

  const std::string binary = BinaryBuilder()
                                 .root("TPersistenceWrapper", "Options")
                                 .path("Persistent.MaxFormatParams").int8(5)
                                 .path("Persistent.MaxFixedParams").tag(ValueTag::kInt64).fixed64(1)
                                 .endRoot()
                                 .bytes();
  EXPECT_EQ("EReadError: Fehler beim Lesen von Options.Persistent.MaxFixedParams: "
            "Ungültiger Eigenschaftswert",
            loadFile(binary));
  EXPECT_EQ(std::string("5 2 ") + kDefaultNames, dump(settings_));
}

// Hand-built binary files with every string tag give the same names as the
// text that says the same.
TEST_F(SettingsLoadTest, BinaryNamesInEveryStringTagMatchTheirText) {
  const std::string binary =
      BinaryBuilder()
          .root("TPersistenceWrapper", "Options")
          .path("Persistent.FormatNames.Strings").tag(ValueTag::kList)
          .string("printf")
          .tag(ValueTag::kLongString).fixed32(8).raw("caf\xE9_log")
          .tag(ValueTag::kWideString).fixed32(5).fixed16(0x0444).fixed16(0x043C).fixed16('_')
          .fixed16(0xD83D).fixed16(0xDE00)
          .tag(ValueTag::kUtf8String).fixed32(5).raw("\xC3\xBC" "ber")
          .byte(0)
          .endRoot()
          .bytes();
  EXPECT_EQ("", loadFile(binary));
  const std::string expected = "10 2 printf,caf\xC3\xA9_log,\xD1\x84\xD0\xBC_\xF0\x9F\x98\x80,\xC3\xBC" "ber";
  EXPECT_EQ(expected, dump(settings_));

  TFormatHeaderSettings fromText;
  TempFile text(
      "\xEF\xBB\xBFobject Options: TPersistenceWrapper\n"
      "Persistent.FormatNames.Strings = ('printf' 'caf\xC3\xA9_log' #1092#1084'_'#55357#56832 "
      "'\xC3\xBC" "ber')\nend\n");
  persist::LoadPersistentFromFile(text.path(), &fromText);
  EXPECT_EQ(expected, dump(fromText));
}

TEST_F(SettingsLoadTest, FileFormIsDetectedFromTheFirstBytes) {
  EXPECT_EQ("EReadError: Stream-Lesefehler", loadFile(""));
  EXPECT_EQ("EReadError: Ungültiges Stream-Format", loadFile(std::string("\xFF\xFEo\0", 4)));
  EXPECT_EQ("EParserError: ANSI- oder UTF8-Codierung erwartet in Zeile 1",
            loadFile(std::string("\xFE\xFF\0o", 4)));
  EXPECT_EQ("EParserError: OBJECT erwartet in Zeile 1", loadFile("T"));
  // A binary file's trailing bytes are not read.
  EXPECT_EQ("", loadFile(persist::testing::convertText(kWorkedExampleText) + "\x01\x02garbage"));
  EXPECT_EQ("12 3 printf,sprintf,my_log_printf", dump(settings_));
}

TEST_F(SettingsLoadTest, FilesThatCannotBeOpenedNameTheirAbsolutePath) {
  wyx::UnicodeString name = u"no-such-options-file.txt";
  EXPECT_EQ("EFOpenError: Datei " + wyx::toUtf8(wyx::platform::absolutePath(name)) +
                " kann nicht geöffnet werden. " + korven::testing::kMissingFileText,
            errorOf([&] { persist::LoadPersistentFromFile(name, &settings_); }));
  EXPECT_EQ("EFOpenError: Datei " + wyx::toUtf8(wyx::platform::absolutePath(u"/tmp")) +
                " kann nicht geöffnet werden. " + korven::testing::kDirectoryAsFileText,
            errorOf([&] { persist::LoadPersistentFromFile(u"/tmp", &settings_); }));
  EXPECT_EQ(std::string("10 2 ") + kDefaultNames, dump(settings_));
}

// The sample that `make run` uses must stay loadable.
TEST(SettingsTest, BundledExampleLoads) {
  const char* root = std::getenv("KORVEN_SOURCE_DIR");
  if (root == nullptr) GTEST_SKIP() << "KORVEN_SOURCE_DIR is not set";
  TFormatHeaderSettings settings;
  persist::LoadPersistentFromFile(wyx::fromUtf8(std::string(root) + "/examples/options.txt"),
                                  &settings);
  EXPECT_EQ(12u, settings.getMaxFormatParams());
  EXPECT_EQ(3u, settings.getMaxFixedParams());
  EXPECT_EQ(12u, settings.getFormatNames().count());
}

}  // namespace
}  // namespace qirt
