// MacroExpander::parseBlocks: splits a template into named blocks.
#include <deque>
#include <stack>
#include <string>
#include <string_view>

#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/tool/compiled_block.hpp"
#include "wyx/tool/macro_expander.hpp"
#include "wyx/tool/piece_reader.hpp"
#include "wyx/tool/text_scan.hpp"

namespace wyx::tool {

namespace {

constexpr char kSurplusEnd[] = "Surplus ':END' statement";
constexpr char kMissingEnd[] = "Missing ':END' statement";
constexpr char kEndDirective[] = "END";

class BlockParser {
 public:
  BlockParser(io::IStream& source, blockmap_t& blocks) : reader_(source, 2), blocks_(blocks) {
    namedblock_t root;
    root.stream = io::makeSharedStream<io::SinkStream>();
    open_.push(root);
  }

  void run() {
    while (reader_.ensure(1)) {
      if (atLineStart_ && *reader_.cursor() == ':') {
        parseDirective();
      } else {
        scanText();
      }
    }
    if (open_.size() > 1) throw EMacroException(kMissingEnd);
  }

 private:
  // Copies text into the innermost block up to the next directive, the next
  // "\:" or the end of the window. Escape pairs stay in the text unchanged
  // (expansion resolves them) except "\:", which becomes ':'.
  void scanText() {
    const char* run = reader_.cursor();
    const char* p = run;
    const char* end = reader_.end();
    // The next line feed and the next backslash before it, searched with
    // memchr rather than byte by byte.
    const char* lineFeed = findByte(p, end, '\n');
    while (p < end) {
      if (lineFeed < p) lineFeed = findByte(p, end, '\n');
      const char* special = findByte(p, lineFeed, '\\');
      if (special != p) atLineStart_ = false;
      p = special;
      if (p == end) break;
      if (*p == '\n') {
        ++line_;
        atLineStart_ = true;
        ++p;
        if (p < end && *p == ':') break;
        continue;
      }
      atLineStart_ = false;
      if (p + 1 == end) {
        // The partner byte lies beyond the window: finish this run first.
        appendText(run, p - run);
        reader_.advanceTo(p);
        scanSplitEscape();
        return;
      }
      if (p[1] == ':') {
        appendText(run, p - run);
        run = p + 1;
      }
      p += 2;
    }
    appendText(run, p - run);
    reader_.advanceTo(p);
  }

  // A backslash at the end of the window: fetch its partner.
  void scanSplitEscape() {
    if (!reader_.ensure(2)) {
      // Nothing left to escape: the backslash is kept as text.
      appendText(reader_.cursor(), 1);
      reader_.advanceTo(reader_.cursor() + 1);
      return;
    }
    const char* pair = reader_.cursor();
    if (pair[1] == ':') {
      appendText(pair + 1, 1);
    } else {
      appendText(pair, 2);
    }
    reader_.advanceTo(pair + 2);
  }

  // At a ':' in column 1: reads the name, skips the rest of the line with its
  // line feed, then opens or closes a block.
  void parseDirective() {
    const std::uint64_t directiveLine = line_;
    reader_.advanceTo(reader_.cursor() + 1);
    std::string name;
    bool inName = true;
    bool lineEnded = false;
    while (!lineEnded && reader_.ensure(1)) {
      const char* p = reader_.cursor();
      const char* end = reader_.end();
      if (inName) {
        const char* start = p;
        while (p < end && isNameByte(*p)) ++p;
        name.append(start, p);
        if (p < end) inName = false;
      }
      if (!inName) {
        p = findByte(p, end, '\n');
        if (p != end) {
          ++p;
          lineEnded = true;
        }
      }
      reader_.advanceTo(p);
    }
    if (lineEnded) ++line_;
    atLineStart_ = true;

    const std::int32_t position = clampToInt32(static_cast<std::int64_t>(directiveLine));
    try {
      if (name == kEndDirective) {
        closeBlock();
      } else {
        openBlock(name, position);
      }
    } catch (const EMacroException& error) {
      throw EMacroException::at(position, 1, error.what());
    }
  }

  void openBlock(const std::string& name, std::int32_t line) {
    namedblock_t block;
    block.stream = io::makeSharedStream<io::MemoryStream>();
    block.line = line;
    block.name = name;
    open_.push(block);
  }

  void closeBlock() {
    if (open_.size() == 1) throw EMacroException(kSurplusEnd);
    namedblock_t& block = open_.top();
    // Drops the line end before the ":END" line. Unconditional: with bare
    // line feeds the last character of the last line goes with it.
    auto& text = static_cast<io::MemoryStream&>(*block.stream);
    const std::uint32_t size = text.getSize();
    if (size >= 2) text.setSize(size - 2);
    oo::checkStatus(text.setPosition(0));

    auto existing = blocks_.find(block.name);
    if (existing != blocks_.end() && existing->second.stream) {
      throw EMacroException("Block '" + block.name + "' defined twice");
    }
    const std::string_view content(text.data() ? text.data() : "", text.getSize());
    blocks_[block.name] = block_t{block.stream, block.line, CompiledBlock::compile(content)};
    open_.pop();
  }

  void appendText(const char* data, std::ptrdiff_t count) {
    if (count > 0) {
      oo::checkStatus(open_.top().stream->writeBuffer(data, static_cast<std::uint32_t>(count)));
    }
  }

  detail::PieceReader reader_;
  blockmap_t& blocks_;
  std::stack<namedblock_t, std::deque<namedblock_t>> open_;
  std::uint64_t line_ = 1;
  bool atLineStart_ = true;
};

}  // namespace

void MacroExpander::parseBlocks(io::IStream& source, blockmap_t& blocks) {
  BlockParser(source, blocks).run();
}

}  // namespace wyx::tool
