#include <gtest/gtest.h>

#include <cstdint>

#include "checker/format_compare.hpp"
#include "checker/format_dialect.hpp"
#include "wyx/tool/format_parser.hpp"

namespace qirt::detail {
namespace {

// The shortcut for common arguments must give the full rule's verdict for
// every want of every table, and for arguments of every shape: a wrong shape
// or a base set where it does not serve would let a wrong call through, or
// stop a right one, only for the types it concerns.
TEST(FormatCompareTest, ShortcutAgreesWithTheFullRule) {
  const unsigned kFlags[] = {kTypePointer, kTypeConstTarget, kTypeIndirect, kTypeConstInner};
  const unsigned kSizes[] = {0, 1, 4, 8};
  int wants = 0;
  auto agree = [&](const want_t& want) {
    ++wants;
    for (unsigned base = 0; base < 0x30; ++base) {
      for (unsigned flags = 0; flags < 16; ++flags) {
        for (unsigned size : kSizes) {
          unsigned given = base | size << kTypeSizeShift;
          for (unsigned bit = 0; bit < 4; ++bit) {
            if ((flags >> bit) & 1) given |= kFlags[bit];
          }
          ASSERT_EQ(accepts(want, given), servesWant(want, given))
              << "want kind " << int(want.kind) << " type " << int(want.type) << " identity "
              << int(want.identity) << ", given " << std::hex << given;
        }
      }
    }
  };
  for (unsigned family = 0; family < kFamilies; ++family) {
    for (unsigned dialect = 0; dialect < kDialects; ++dialect) {
      const auto f = static_cast<FormatFamily>(family);
      const auto d = static_cast<FormatDialect>(dialect);
      const std::uint32_t* classes = formatClassTable(f, d);
      for (bool wide : {false, true}) {
        const want_table_t table = wantTable(f, d, wide);
        for (std::size_t c = 1; c < wyx::tool::kClassTableSize; ++c) {
          if ((classes[c] & kWantRowMask) == 0) continue;
          wyx::tool::strict_specifier_t spec{};
          spec.entry = classes[c];
          for (spec.modifier = 0; spec.modifier < kWantRowSize; ++spec.modifier) {
            agree(plainWantOf(table, spec));
          }
        }
      }
      agree(sizeWant(d));
    }
  }
  agree(kStarWant);
  EXPECT_GT(wants, 1000);
}

}  // namespace
}  // namespace qirt::detail
