#include "wyx/tool/macro_output.hpp"

#include <gtest/gtest.h>

#include <string>

#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/safecall.hpp"

namespace wyx::tool {
namespace {

// Writes, fills and runs with a known line end of every size around the
// buffer's (and a fill past the smaller first buffer), once into a stream
// and once collected: the bytes arrive in order, and count and line start
// follow them.
TEST(MacroOutputTest, EverySizeArrivesInOrderWithItsLineStart) {
  const std::size_t kBuffer = MacroOutput::kBufferSize;
  const std::size_t kSizes[] = {0, 70000,           1, kBuffer - 2, 3, kBuffer,
                                7, 2 * kBuffer + 5, 1, kBuffer - 1};
  for (bool collect : {false, true}) {
    oo::InterfacePtr<io::MemoryStream> stream(new io::MemoryStream);
    MacroOutput streamed(*stream);
    MacroOutput collected;
    MacroOutput& output = collect ? collected : streamed;
    std::string expected;
    std::uint64_t lineStart = 0;
    for (std::size_t i = 0; i < sizeof kSizes / sizeof kSizes[0]; ++i) {
      std::string text(kSizes[i], static_cast<char>('a' + i));
      switch (i % 3) {
        case 0:
          if (!text.empty()) text[text.size() / 2] = '\n';
          output.write(text);
          if (!text.empty()) lineStart = expected.size() + text.size() / 2 + 1;
          break;
        case 1:
          output.fill(text.empty() ? ' ' : text[0], text.size());
          break;
        default:
          text += "\nxy";
          output.write(text.data(), text.size(), text.size() - 2);
          lineStart = expected.size() + text.size() - 2;
      }
      expected += text;
      ASSERT_EQ(expected.size(), output.count()) << "write " << i << (collect ? " collected" : "");
      ASSERT_EQ(lineStart, output.lineStart()) << "write " << i;
    }
    std::string actual;
    if (collect) {
      actual = collected.takeText();
    } else {
      streamed.flush();
      actual.assign(stream->data(), stream->getSize());
    }
    EXPECT_TRUE(expected == actual) << (collect ? "collected" : "streamed");
  }
}

}  // namespace
}  // namespace wyx::tool
