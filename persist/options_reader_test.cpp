#include "persist/options_reader.hpp"

#include <gtest/gtest.h>

#include <string>

#include "persist/persistence_loader.hpp"
#include "persist/test_support.hpp"
#include "persist/text_list.hpp"
#include "wyx/io/memory_stream.hpp"

namespace persist {
namespace {

using testing::BinaryBuilder;
using testing::errorOf;
using testing::loadBytes;

// A loadable object with one entry of every shape the reader knows.
class TGadget : public TLoadable {
 public:
  static const property_table_t& classProperties();
  const property_table_t& properties() const override { return classProperties(); }

  std::int32_t getCount() const { return count_; }
  void setCount(std::int32_t v) { count_ = v; }
  std::uint32_t getSize() const { return size_; }
  void setSize(std::uint32_t v) { size_ = v; }
  std::int32_t getFixed() const { return 7; }

  std::int32_t count_ = 0;
  std::uint32_t size_ = 0;
  wyx::UnicodeString label_;
  TLoadable* link_ = nullptr;
  TTextList items_;
};

const property_t kGadgetProperties[] = {
    integerProperty<TGadget, std::int32_t, &TGadget::getCount, &TGadget::setCount>("Count"),
    integerProperty<TGadget, std::uint32_t, &TGadget::getSize, &TGadget::setSize>("Size"),
    {"Fixed", PropertyKind::kInteger,
     [](TLoadable& o) -> property_value_t { return static_cast<TGadget&>(o).getFixed(); },
     nullptr},
    {"Label", PropertyKind::kString,
     [](TLoadable& o) -> property_value_t { return static_cast<TGadget&>(o).label_; },
     [](TLoadable& o, const property_value_t& v) {
       static_cast<TGadget&>(o).label_ = std::get<wyx::UnicodeString>(v);
     }},
    {"Link", PropertyKind::kObject,
     [](TLoadable& o) -> property_value_t { return static_cast<TGadget&>(o).link_; },
     [](TLoadable& o, const property_value_t& v) {
       static_cast<TGadget&>(o).link_ = std::get<TLoadable*>(v);
     }},
    {"Items", PropertyKind::kObject,
     [](TLoadable& o) -> property_value_t {
       return static_cast<TLoadable*>(&static_cast<TGadget&>(o).items_);
     },
     nullptr, /*owned=*/true},
};

const property_table_t& TGadget::classProperties() {
  static const property_table_t table{"TGadget", &TLoadable::classProperties(), kGadgetProperties,
                                      std::size(kGadgetProperties)};
  return table;
}

class OptionsReaderTest : public ::testing::Test {
 protected:
  // A binary file "Options" with one record: `path` and the value bytes.
  static std::string record(const std::string& path, const std::string& value) {
    return BinaryBuilder().root("TPersistenceWrapper", "Options").path(path).raw(value).endRoot().bytes();
  }
  std::string load(const std::string& bytes) {
    return errorOf([&] { loadBytes(bytes, &gadget_); });
  }
  std::string loadText(const std::string& body) {
    return load("object Options: TPersistenceWrapper\n" + body + "\nend\n");
  }

  TGadget gadget_;
};

TEST_F(OptionsReaderTest, IntegersAreSignExtendedAndKeepTheirBits) {
  EXPECT_EQ("", load(record("Persistent.Count", BinaryBuilder().int8(-2).bytes())));
  EXPECT_EQ(-2, gadget_.count_);
  EXPECT_EQ("", load(record("persistent.SIZE", BinaryBuilder().tag(ValueTag::kInt16).fixed16(0x8000).bytes())));
  EXPECT_EQ(0xFFFF8000u, gadget_.size_);
  EXPECT_EQ("", load(record("Persistent.Size", BinaryBuilder().tag(ValueTag::kInt32).fixed32(0x80000000u).bytes())));
  EXPECT_EQ(0x80000000u, gadget_.size_);
}

TEST_F(OptionsReaderTest, StringsAreDecodedByTag) {
  const struct {
    std::string value;
    wyx::UnicodeString expected;
  } kCases[] = {
      {BinaryBuilder().string("caf\xE9").bytes(), u"café"},
      {BinaryBuilder().tag(ValueTag::kLongString).fixed32(2).raw("\x80x").bytes(), u"€x"},
      {BinaryBuilder().tag(ValueTag::kWideString).fixed32(2).fixed16(0x20AC).fixed16('y').bytes(), u"€y"},
      {BinaryBuilder().tag(ValueTag::kUtf8String).fixed32(3).raw("\xC3\xA4z").bytes(), u"äz"},
      {BinaryBuilder().tag(ValueTag::kWideString).fixed32(0).bytes(), u""},
  };
  for (const auto& c : kCases) {
    gadget_.label_ = u"old";
    EXPECT_EQ("", load(record("Persistent.Label", c.value))) << testing::hex(c.value);
    EXPECT_EQ(wyx::toUtf8(c.expected), wyx::toUtf8(gadget_.label_)) << testing::hex(c.value);
  }
}

// Every value that an entry does not accept fails the same way, whether the
// file is binary or text.
TEST_F(OptionsReaderTest, ValuesOfTheWrongKindAreRefused) {
  const std::string kInvalid = "EReadError: Fehler beim Lesen von Options.Persistent.Count: "
                               "Ungültiger Eigenschaftswert";
  const char* kTexts[] = {"1.5", "1.5s", "3c", "1.5d", "2147483648", "'ten'", "ten", "True",
                          "nil", "(1)", "[a]", "<>", "{00}"};
  for (const char* text : kTexts) {
    EXPECT_EQ(kInvalid, loadText(std::string("Persistent.Count = ") + text)) << text;
  }
  // Tags that the converter never writes, or writes only for other types.
  const std::string kBinaryValues[] = {
      BinaryBuilder().tag(ValueTag::kExtended).raw(std::string(10, '\0')).bytes(),
      BinaryBuilder().tag(ValueTag::kSingle).fixed32(0).bytes(),
      BinaryBuilder().tag(ValueTag::kCurrency).fixed64(0).bytes(),
      BinaryBuilder().tag(ValueTag::kDate).fixed64(0).bytes(),
      BinaryBuilder().tag(ValueTag::kInt64).fixed64(1).bytes(),
      BinaryBuilder().tag(ValueTag::kDouble).fixed64(0).bytes(),
      BinaryBuilder().tag(ValueTag::kLongString).fixed32(1).raw("1").bytes(),
      BinaryBuilder().byte(22).bytes(),
      BinaryBuilder().byte(0xFF).bytes(),
  };
  for (const auto& value : kBinaryValues) {
    EXPECT_EQ(kInvalid, load(record("Persistent.Count", value))) << testing::hex(value);
  }
  EXPECT_EQ("EReadError: Fehler beim Lesen von Options.Persistent.Label: Ungültiger Eigenschaftswert",
            loadText("Persistent.Label = 5"));
  EXPECT_EQ("EReadError: Fehler beim Lesen von Options.Persistent.Link: Ungültiger Eigenschaftswert",
            loadText("Persistent.Link = <>"));
}

TEST_F(OptionsReaderTest, PathErrorsNameThePathAndTheRootObject) {
  const struct {
    const char* body;
    const char* expected;
  } kCases[] = {
      {"Persistent.Fixed = 1",
       "EReadError: Fehler beim Lesen von Options.Persistent.Fixed: Eigenschaft kann nur gelesen werden"},
      {"Persistent.Items.Count = 3",
       "EReadError: Fehler beim Lesen von Options.Persistent.Items.Count: Eigenschaft Count existiert nicht"},
      {"Foo.Bar = 1",
       "EReadError: Fehler beim Lesen von Options.Foo.Bar: Eigenschaft Foo.Bar existiert nicht"},
      {"Persistent.Count.X = 1",
       "EReadError: Fehler beim Lesen von Options.Persistent.Count.X: Ungültiger Pfad für Eigenschaft"},
      {"Persistent.Link.X = 1",  // a null reference leads nowhere
       "EReadError: Fehler beim Lesen von Options.Persistent.Link.X: Ungültiger Pfad für Eigenschaft"},
      {"Name = 'Other'\nFoo = 1",
       "EReadError: Fehler beim Lesen von Other.Foo: Eigenschaft Foo existiert nicht"},
      {"Name = '1x'",
       "EReadError: Fehler beim Lesen von Options.Name: ''1x'' ist kein gültiger Komponentenname"},
      {"Left = 'x'", "EReadError: Fehler beim Lesen von Options.Left: Ungültiger Eigenschaftswert"},
      {"Persistent.Items = nil",
       "EReadError: Fehler beim Lesen von Options.Persistent.Items: Ungültiger Eigenschaftswert"},
      {"Persistent.Items = Owner",
       "EReadError: Fehler beim Lesen von Options.Persistent.Items: Ungültiger Eigenschaftswert"},
      {"Persistent.Items.Strings = ('a' 1)",
       "EReadError: Fehler beim Lesen von Options.Persistent.Items.Strings: Ungültiger Eigenschaftswert"},
      {"Persistent = nil\nPersistent.Count = 1",
       "EReadError: Fehler beim Lesen von TPersistenceWrapper.Persistent.Count: Ungültiger Pfad für "
       "Eigenschaft"},
      {"object Inner: TGadget end", "EClassNotFound: Klasse TGadget nicht gefunden"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, loadText(c.body)) << c.body;
}

TEST_F(OptionsReaderTest, NamedObjectContentIsAccepted) {
  EXPECT_EQ("", loadText("Left = 8\nTop = -16\nTag = 5\nName = 'Renamed'"));
  TPersistenceWrapper& wrapper = persistenceWrapper();
  EXPECT_EQ(8, wrapper.getLeft());
  EXPECT_EQ(-16, wrapper.getTop());
  EXPECT_EQ(5, wrapper.getTag());
  EXPECT_EQ(u"Renamed", wrapper.getName());
  EXPECT_EQ(&gadget_, wrapper.getPersistent());
}

TEST_F(OptionsReaderTest, ReferencesAreResolvedAfterAllRecords) {
  TGadget other;
  TPersistenceWrapper& wrapper = persistenceWrapper();
  const struct {
    const char* value;
    TLoadable* expected;
  } kCases[] = {
      {"owner", &wrapper}, {"Nowhere", nullptr}, {"True", nullptr}, {"Form.Thing", &other},
      {"nil", nullptr},
  };
  for (const auto& c : kCases) {
    gadget_.link_ = &other;
    EXPECT_EQ("", loadText(std::string("Persistent.Link = ") + c.value)) << c.value;
    EXPECT_EQ(c.expected, gadget_.link_) << c.value;
  }
  // The reference to the root itself renames the wrapper after its class.
  EXPECT_EQ("", loadText("Persistent = Owner"));
  EXPECT_EQ(&wrapper, wrapper.getPersistent());
  EXPECT_EQ(u"TPersistenceWrapper", wrapper.getName());
}

TEST_F(OptionsReaderTest, TheRootHeaderIsChecked) {
  EXPECT_EQ("EReadError: Stream-Lesefehler", load(""));
  EXPECT_EQ("EReadError: Ungültiges Stream-Format", load(std::string(4, '\0')));
  EXPECT_EQ("EReadError: Ungültiges Stream-Format", load(std::string("\xFF\xFEo\0b\0", 6)));
  EXPECT_EQ("EComponentError: ''1abc'' ist kein gültiger Komponentenname",
            load(BinaryBuilder().root("X", "1abc").endRoot().bytes()));
  // Prefix flags and an order position of any width are read and ignored.
  EXPECT_EQ("", load(BinaryBuilder().signature().byte(0xF7).tag(ValueTag::kInt64).fixed64(1)
                         .shortText("X").shortText("Y").endRoot().bytes()));
  EXPECT_EQ(u"Y", persistenceWrapper().getName());
  // A class name whose length byte could pass for a prefix byte.
  EXPECT_EQ("", load("object Z: " + std::string(240, 'B') + " end"));
  EXPECT_EQ(u"Z", persistenceWrapper().getName());
  EXPECT_EQ("EClassNotFound: Klasse TInner nicht gefunden",
            load(BinaryBuilder().root("X", "Y").byte(0).byte(0xF2).int8(1).shortText("TInner")
                     .shortText("").endRoot().byte(0).bytes()));
}

TEST_F(OptionsReaderTest, LengthsPastTheEndFailWithoutReadingFurther) {
  const std::string kPrefix = BinaryBuilder().root("X", "Y").path("Persistent.Label").bytes();
  const std::string kLengths[] = {
      BinaryBuilder().tag(ValueTag::kLongString).fixed32(0xFFFFFFFFu).raw("abc").bytes(),
      BinaryBuilder().tag(ValueTag::kUtf8String).fixed32(0x7FFFFFFFu).bytes(),
      BinaryBuilder().tag(ValueTag::kWideString).fixed32(0xFFFFFFFFu).raw("a").bytes(),
      BinaryBuilder().tag(ValueTag::kString).byte(200).raw("abc").bytes(),
  };
  for (const auto& value : kLengths) {
    EXPECT_EQ("EReadError: Fehler beim Lesen von Y.Persistent.Label: Stream-Lesefehler",
              load(kPrefix + value))
        << testing::hex(value);
  }
}

TEST_F(OptionsReaderTest, EveryStrictPrefixOfABinaryFileFails) {
  const std::string file = BinaryBuilder()
                               .root("TPersistenceWrapper", "Options")
                               .path("Persistent.Count").tag(ValueTag::kInt32).fixed32(70000)
                               .path("Persistent.Label").tag(ValueTag::kWideString).fixed32(1).fixed16('w')
                               .path("Persistent.Items.Strings").tag(ValueTag::kList)
                               .string("a").tag(ValueTag::kUtf8String).fixed32(1).raw("b")
                               .byte(0)
                               .path("Left").int8(3)
                               .endRoot()
                               .bytes();
  ASSERT_EQ("", load(file));
  EXPECT_EQ(70000, gadget_.count_);
  for (std::size_t n = 4; n < file.size(); ++n) {
    std::string error = load(file.substr(0, n));
    EXPECT_EQ(0u, error.rfind("EReadError: ", 0)) << n;
    EXPECT_EQ("Stream-Lesefehler", error.substr(error.size() - 17)) << n;
  }
  // Bytes after the root object are never read.
  EXPECT_EQ("", load(file + "trailing garbage \xFF"));
}

}  // namespace
}  // namespace persist
