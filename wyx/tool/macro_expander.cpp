// MacroExpander: the macro table and the expansion of one block.
#include "wyx/tool/macro_expander.hpp"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "wyx/oo/safecall.hpp"
#include "wyx/tool/compiled_block.hpp"
#include "wyx/tool/format_value.hpp"
#include "wyx/tool/macro_output.hpp"
#include "wyx/tool/text_scan.hpp"

namespace wyx::tool {

namespace {

constexpr char kUndefinedBlock[] = "Expanding a block that is not defined";
// A block without a parsed form is read in pieces of this size.
constexpr std::uint32_t kReadPiece = 16384;

using entries_t = std::vector<const MacroExpander::macro_entry_t*>;

// Table ids are never reused, so a kept resolution cannot be mistaken for
// one of a table that happens to live at the same address later.
std::uint64_t newTableId() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1);
}

// The text of a block that parseBlocks did not compile, from its first byte.
std::string readBlockText(io::IStream& stream) {
  oo::checkStatus(stream.setPosition(0));
  std::string text;
  for (;;) {
    const std::size_t at = text.size();
    text.resize(at + kReadPiece);
    const std::uint32_t got = std::min(stream.read(text.data() + at, kReadPiece), kReadPiece);
    text.resize(at + got);
    if (got == 0 || std::memchr(text.data() + at, '\0', got) != nullptr) return text;
  }
}

// One walk over a compiled block. The counters are local, so walks nest.
class Expansion {
 public:
  // Holds its own references to the parsed block and its resolution: a
  // macro may clear the table the block came from, or expand this block
  // with another expander, while this walk goes on.
  Expansion(MacroExpander& expander, std::shared_ptr<const CompiledBlock> block,
            std::int32_t blockLine, MacroOutput& output)
      : expander_(expander),
        block_(std::move(block)),
        blockLine_(blockLine),
        output_(output),
        start_(output.count()) {}

  void run() {
    const CompiledBlock& block = *block_;
    const char* text = block.text().data();
    const auto& invocations = block.invocations();
    for (const CompiledBlock::step_t& step : block.steps()) {
      output_.write(text + step.textBegin, step.textSize, step.lineEnd);
      if (step.invocation != CompiledBlock::kNone)
        invoke(invocations[step.invocation], step.invocation);
    }
    if (const CompiledBlock::error_t* error = block.error()) {
      throw EMacroException::at(positionLine(error->line), error->column, error->message);
    }
  }

 private:
  void invoke(const CompiledBlock::invocation_t& invocation, std::size_t index) {
    try {
      // A macro may have added macros to this very expander.
      if (!entries_ || tableId_ != expander_.tableId()) {
        entries_ = block_->resolve(expander_);
        tableId_ = expander_.tableId();
      }
      const MacroExpander::macro_entry_t* entry = (*entries_)[index];
      if (entry == nullptr) throw EMacroException("Unknown macro '" + invocation.name + "'");
      const std::uint64_t column = output_.count() - std::max(output_.lineStart(), start_);
      const MacroExpander::macro_context_t context{
          &expander_,           invocation.name,   invocation.args,
          invocation.line,      invocation.column, clampToInt32(static_cast<std::int64_t>(column)),
          invocation.specifier, &output_};
      if (invocation.defaultSpecifier && entry->writer) {
        entry->writer->write(context);
      } else {
        call(*entry, context);
      }
    } catch (const EMacroException& error) {
      throw EMacroException::at(positionLine(invocation.line), invocation.column, error.what());
    }
  }

  // A returning macro, or a writing one whose text a specifier formats.
  void call(const MacroExpander::macro_entry_t& entry,
            const MacroExpander::macro_context_t& context) {
    std::string text;
    if (entry.writer) {
      MacroOutput collected;
      const MacroExpander::macro_context_t collecting{
          context.expander, context.name,         context.args,      context.line,
          context.column,   context.outputColumn, context.specifier, &collected};
      entry.writer->write(collecting);
      text = collected.takeText();
    } else {
      // The macro may write to the output stream itself; what precedes it
      // goes first.
      output_.flush();
      text = entry.text(context);
    }
    if (context.specifier.size() == 2 && context.specifier[1] == 's' &&
        context.specifier[0] == '%') {
      // "%s" is the text up to its first NUL; no formatter needed.
      output_.write(text.c_str(), std::strlen(text.c_str()));
    } else {
      output_.write(formatValue(context.specifier, text));
    }
  }

  std::int32_t positionLine(std::int32_t line) const {
    return clampToInt32(std::int64_t{blockLine_} + line);
  }

  MacroExpander& expander_;
  const std::shared_ptr<const CompiledBlock> block_;
  const std::int32_t blockLine_;
  MacroOutput& output_;
  const std::uint64_t start_;  // output_.count() when this walk began
  std::shared_ptr<const entries_t> entries_;
  std::uint64_t tableId_ = 0;
};

}  // namespace

MacroExpander::MacroExpander() : tableId_(newTableId()) {}

MacroExpander::MacroExpander(const MacroExpander& other)
    : macros_(other.macros_), tableId_(newTableId()) {}

MacroExpander& MacroExpander::operator=(const MacroExpander& other) {
  macros_ = other.macros_;
  tableId_ = newTableId();
  return *this;
}

void MacroExpander::addMacro(const std::string& name, const macro_t& fn) {
  if (macros_.emplace(name, macro_entry_t{fn, nullptr}).second) tableId_ = newTableId();
}

void MacroExpander::addMacro(const std::string& name, macro_writer_t writer) {
  if (macros_.emplace(name, macro_entry_t{nullptr, std::move(writer)}).second) {
    tableId_ = newTableId();
  }
}

const MacroExpander::macro_entry_t* MacroExpander::findEntry(std::string_view name) const {
  auto found = macros_.find(name);
  return found == macros_.end() ? nullptr : &found->second;
}

void MacroExpander::expand(const block_t& block, io::IStream& output) {
  if (!block.stream) throw std::invalid_argument(kUndefinedBlock);
  MacroOutput buffered(output);
  try {
    expand(block, buffered);
  } catch (...) {
    // What was expanded before the error is part of the output.
    try {
      buffered.flush();
    } catch (...) {
      // The first error is the one to report.
    }
    throw;
  }
  buffered.flush();
}

void MacroExpander::expand(const block_t& block, MacroOutput& output) {
  if (!block.stream) throw std::invalid_argument(kUndefinedBlock);
  std::shared_ptr<const CompiledBlock> compiled = block.compiled;
  if (!compiled) compiled = CompiledBlock::compile(readBlockText(*block.stream));
  Expansion(*this, std::move(compiled), block.line, output).run();
}

}  // namespace wyx::tool
