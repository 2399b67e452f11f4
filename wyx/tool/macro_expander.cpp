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
// The fewest kept resolutions before dead blocks' entries are swept.
constexpr std::size_t kFirstSweep = 16;

// Table ids are never reused, so a kept resolution cannot be mistaken for
// one of a table that happens to live at the same address later.
std::uint64_t newTableId() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1);
}

// The text of a block that parseBlocks did not compile, from its first byte.
// The string grows geometrically, so a stream of short reads costs no more
// than one of long reads.
std::string readBlockText(io::IStream& stream) {
  oo::checkStatus(stream.setPosition(0));
  std::string text;
  std::size_t size = 0;
  for (;;) {
    if (text.size() - size < kReadPiece) text.resize(std::max(2 * text.size(), size + kReadPiece));
    const std::uint32_t got = std::min(stream.read(text.data() + size, kReadPiece), kReadPiece);
    const bool nul = std::memchr(text.data() + size, '\0', got) != nullptr;
    size += got;
    if (got == 0 || nul) {
      text.resize(size);
      return text;
    }
  }
}

}  // namespace

// One walk over a compiled block. The counters are local, so walks nest.
class MacroExpander::Expansion {
 public:
  // Holds its own references to the parsed block and its resolution: a
  // macro may add macros to the expander, or expand this block with this
  // or another expander, while this walk goes on.
  Expansion(MacroExpander& expander, std::shared_ptr<const CompiledBlock> block, bool keep,
            std::int32_t blockLine, MacroOutput& output)
      : expander_(expander),
        block_(std::move(block)),
        keep_(keep),
        blockLine_(blockLine),
        output_(output),
        start_(output.count()),
        resolution_(expander.resolve(block_, keep)) {}

  void run() {
    const CompiledBlock& block = *block_;
    const char* text = block.text().data();
    const auto& invocations = block.invocations();
    const CompiledBlock::invocation_t* current = nullptr;
    try {
      for (const CompiledBlock::step_t& step : block.steps()) {
        output_.write(text + step.textBegin, step.textSize, step.lineEnd);
        if (step.invocation == CompiledBlock::kNone) continue;
        current = &invocations[step.invocation];
        invoke(*current, step.invocation);
      }
    } catch (const EMacroException& error) {
      // Raised by the macro of `current` or on its behalf: reported at its '$'.
      if (current == nullptr) throw;
      throw EMacroException::at(positionLine(current->line), current->column, error.what());
    }
    if (const CompiledBlock::error_t* error = block.error()) {
      throw EMacroException::at(positionLine(error->line), error->column, error->message);
    }
  }

 private:
  // Calls the macro of `invocation`, the block's invocation number `index`.
  void invoke(const CompiledBlock::invocation_t& invocation, std::size_t index) {
    // A macro may have added macros to this very expander.
    if (resolution_->tableId != expander_.tableId_) resolution_ = expander_.resolve(block_, keep_);
    const macro_entry_t* entry = resolution_->entries[index];
    if (entry == nullptr) throw EMacroException("Unknown macro '" + invocation.name + "'");
    const std::uint64_t column = output_.count() - std::max(output_.lineStart(), start_);
    const macro_context_t context{
        &expander_,
        invocation.name,
        invocation.args,
        invocation.line,
        invocation.column,
        clampToInt32(static_cast<std::int64_t>(column)),  // outputColumn
        invocation.specifier,
        &output_,
    };
    if (invocation.defaultSpecifier && entry->writer) {
      entry->writer->write(context);
    } else {
      call(*entry, context, invocation.defaultSpecifier);
    }
  }

  // A returning macro, or a writing one whose text a specifier formats.
  void call(const macro_entry_t& entry, const macro_context_t& context, bool defaultSpecifier) {
    const std::string text =
        entry.writer ? collect(*entry.writer, context) : returned(entry, context);
    if (defaultSpecifier) {
      // "%s" is the text up to its first NUL; no formatter needed.
      output_.write(text.c_str(), std::strlen(text.c_str()));
    } else {
      output_.write(formatValue(context.specifier, text));
    }
  }

  // The text a writing macro writes, for a specifier to format. One
  // collecting output serves every such invocation of this walk: a walk
  // calls one macro at a time, and takeText leaves it empty.
  std::string collect(MacroWriter& writer, const macro_context_t& context) {
    if (!collected_) collected_.reset(new MacroOutput);
    macro_context_t collecting = context;
    collecting.output = collected_.get();
    writer.write(collecting);
    return collected_->takeText();
  }

  std::string returned(const macro_entry_t& entry, const macro_context_t& context) {
    // The macro may write to the output stream itself; what precedes it
    // goes first.
    output_.flush();
    return entry.text(context);
  }

  std::int32_t positionLine(std::int32_t line) const {
    return clampToInt32(std::int64_t{blockLine_} + line);
  }

  MacroExpander& expander_;
  const std::shared_ptr<const CompiledBlock> block_;
  const bool keep_;  // the block outlives this walk: its resolution is worth keeping
  const std::int32_t blockLine_;
  MacroOutput& output_;
  const std::uint64_t start_;  // output_.count() when this walk began
  resolution_ptr resolution_;
  std::unique_ptr<MacroOutput> collected_;  // created when first needed
};

MacroExpander::MacroExpander() : tableId_(newTableId()), sweepAt_(kFirstSweep) {}

MacroExpander::MacroExpander(const MacroExpander& other)
    : macros_(other.macros_), tableId_(newTableId()), sweepAt_(kFirstSweep) {}

MacroExpander& MacroExpander::operator=(const MacroExpander& other) {
  if (this == &other) return *this;
  macros_ = other.macros_;
  tableId_ = newTableId();
  resolved_.clear();
  sweepAt_ = kFirstSweep;
  return *this;
}

MacroExpander::~MacroExpander() = default;

void MacroExpander::addMacro(const std::string& name, const macro_t& fn) {
  if (macros_.emplace(name, macro_entry_t{fn, nullptr}).second) tableId_ = newTableId();
}

void MacroExpander::addMacro(const std::string& name, macro_writer_t writer) {
  if (macros_.emplace(name, macro_entry_t{nullptr, std::move(writer)}).second) {
    tableId_ = newTableId();
  }
}

MacroExpander::resolution_ptr MacroExpander::resolve(
    const std::shared_ptr<const CompiledBlock>& block, bool keep) {
  auto kept = keep ? resolved_.find(block) : resolved_.end();
  if (kept != resolved_.end() && kept->second->tableId == tableId_) return kept->second;
  auto resolution = std::make_shared<resolution_t>();
  resolution->tableId = tableId_;
  resolution->entries.reserve(block->invocations().size());
  for (const CompiledBlock::invocation_t& invocation : block->invocations()) {
    auto found = macros_.find(invocation.name);
    resolution->entries.push_back(found == macros_.end() ? nullptr : &found->second);
  }
  if (!keep) return resolution;
  if (kept != resolved_.end()) {
    kept->second = resolution;
    return resolution;
  }
  if (resolved_.size() >= sweepAt_) {
    for (auto it = resolved_.begin(); it != resolved_.end();) {
      it = it->first.expired() ? resolved_.erase(it) : std::next(it);
    }
    sweepAt_ = std::max(kFirstSweep, 2 * resolved_.size());
  }
  resolved_.emplace(block, resolution);
  return resolution;
}

void MacroExpander::expand(const block_t& block, io::IStream& output) {
  if (!block.stream) throw std::invalid_argument(kUndefinedBlock);
  // The stream holds the block's text: its expansion is rarely shorter.
  MacroOutput buffered(output, block.stream->getSize());
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
  if (block.compiled) {
    Expansion(*this, block.compiled, true, block.line, output).run();
  } else {
    // Parsed for this walk alone.
    Expansion(*this, CompiledBlock::compile(readBlockText(*block.stream)), false, block.line,
              output)
        .run();
  }
}

}  // namespace wyx::tool
