// Where the innermost running expansion writes, so that a macro whose text
// is large can write it there directly instead of returning it for the
// engine to copy.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "qirt/header_size.hpp"
#include "wyx/io/stream.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace qirt {

// The output of the expansion that is running innermost. The generator sets
// it around each root expansion, and every macro that expands blocks sets it
// around its own expansions. It also holds the size limit that repeated
// expansions are measured against.
class ExpansionOutput {
 public:
  explicit ExpansionOutput(const size_limit_t& limit = size_limit_t()) : limit_(limit) {}

  wyx::io::IStream* current() const { return current_; }
  const size_limit_t& limit() const { return limit_; }

  // Makes `output` the current output for the scope's lifetime.
  class Scope {
   public:
    Scope(ExpansionOutput& owner, wyx::io::IStream* output)
        : owner_(owner), previous_(owner.current_) {
      owner.current_ = output;
    }
    ~Scope() { owner_.current_ = previous_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ExpansionOutput& owner_;
    wyx::io::IStream* previous_;
  };

 private:
  wyx::io::IStream* current_ = nullptr;
  size_limit_t limit_;
};

// Expands `block` `count` times with `expander`, calling `setCounter(i)`
// before expansion i, and returns the text for the invocation `context`.
//
// The engine writes everything before an invocation to the output before it
// calls the macro, so when the invocation stands at the start of an output
// line, has the plain "%s" specifier and every expansion ends in a line
// feed, writing the expansions
// straight into the invoking expansion's output gives the same bytes and the
// same output column afterwards as returning them; the result is then empty.
// Otherwise the text is collected and returned.
//
// The first expansion is measured: when `count` expansions of its size would
// pass the size limit, EHeaderSizeLimit is raised at once instead of after a
// gigabyte of work (the expansions of one block never shrink as the counter
// grows).
std::string expandRepeatedly(const wyx::tool::macro_context_t& context, ExpansionOutput& outputs,
                             wyx::tool::MacroExpander& expander, const wyx::tool::block_t& block,
                             std::uint64_t count,
                             const std::function<void(std::uint64_t)>& setCounter);

// Expands `block` from its first byte into `output` with `expander`.
void expandFromStart(wyx::tool::MacroExpander& expander, const wyx::tool::block_t& block,
                     wyx::io::IStream& output);

}  // namespace qirt
