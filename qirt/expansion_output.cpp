#include "qirt/expansion_output.hpp"

#include "qirt/text_stream.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt {
namespace {

bool endsWithLineFeed(const wyx::tool::block_t& block) {
  wyx::io::IStream& stream = *block.stream;
  std::uint32_t size = stream.getSize();
  if (size == 0) return false;
  wyx::oo::checkStatus(stream.setPosition(size - 1));
  char last = 0;
  return stream.read(&last, 1) == 1 && last == '\n';
}

}  // namespace

void expandFromStart(wyx::tool::MacroExpander& expander, const wyx::tool::block_t& block,
                     wyx::io::IStream& output) {
  wyx::oo::checkStatus(block.stream->setPosition(0));
  expander.expand(block, output);
}

std::string expandRepeatedly(const wyx::tool::macro_context_t& context, ExpansionOutput& outputs,
                             wyx::tool::MacroExpander& expander, const wyx::tool::block_t& block,
                             std::uint64_t count,
                             const std::function<void(std::uint64_t)>& setCounter) {
  wyx::io::IStream* invoking = outputs.current();
  // Only the plain "%s" passes the text on unchanged; any other specifier
  // must see the whole text.
  bool direct = invoking != nullptr && context.outputColumn == 0 && context.specifier == "%s" &&
                endsWithLineFeed(block);
  TextStream buffer;
  wyx::io::IStream& target = direct ? *invoking : buffer;
  ExpansionOutput::Scope scope(outputs, &target);
  for (std::uint64_t i = 0; i < count; ++i) {
    setCounter(i);
    const std::uint32_t before = target.getPosition();
    expandFromStart(expander, block, target);
    if (i == 0) {
      const std::uint64_t first = target.getPosition() - before;
      if (first != 0 && count > outputs.limit().maxBytes / first) outputs.limit().refuse();
    }
  }
  return buffer.takeText();
}

}  // namespace qirt
