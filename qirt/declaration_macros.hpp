// The macros that give the begin and end headers their structure: column
// padding, the per-name #undef and redirection lines, and the declaration
// macros with their wrapper functions. Each make...Macro returns a macro for
// MacroExpander::addMacro that writes its text into the invocation's output;
// the generator registers them under the names given in the comments.
#pragma once

#include <cstdint>
#include <string>

#include "qirt/header_size.hpp"
#include "wyx/tool/macro_expander.hpp"

namespace persist {
class TTextList;
}

namespace qirt {

// COL: blanks from the invocation's output column up to the column its
// argument names (read like atoi); nothing when the line is already longer.
wyx::tool::macro_writer_t makeColumnMacro();

// UNDEF_FORMAT_FUNCTIONS: "#undef <name>" per name, last name first.
// `names` is read at expansion time and must outlive the macro.
wyx::tool::macro_writer_t makeUndefFunctionsMacro(const persist::TTextList& names);

// DEFINE_FORMAT_FUNCTIONS: per name, last first, a variadic #define that
// routes the call to _safe_<name>, passing the argument text before
// __VA_ARGS__. With `compileTimeChecks` the call is first handed to
// _QIRT_FORMAT_COMPILE_CHECK as a call of <name> itself, which the end
// header defines to leave it unevaluated.
wyx::tool::macro_writer_t makeDefineFunctionsMacro(const persist::TTextList& names,
                                                   bool compileTimeChecks);

// IF_COMPILE_TIME_CHECKS: expands the block its argument names when
// `compileTimeChecks` is set, else gives nothing. The block is looked up in
// `blocks` either way, so a misspelt name fails ("Map entry not found") with
// the setting off too. `blocks` must outlive the macro.
wyx::tool::macro_writer_t makeIfCompileTimeChecksMacro(const wyx::tool::blockmap_t& blocks,
                                                       const size_limit_t& limit,
                                                       bool compileTimeChecks);

// UNDEF_FORMAT_DECLARE: the #ifdef/#undef/#endif triple for every
// declaration macro of 0 to maxFixedParams fixed parameters.
wyx::tool::macro_writer_t makeUndefDeclareMacro(std::uint32_t maxFixedParams);

// DEFINE_FORMAT_DECLARE: expands the block its argument names once per
// fixed-parameter count 0 to maxFixedParams, with the xPARAM macros and
// SAFE_FORMAT_FUNCTIONS (wrappers for 0 to maxFormatParams - 1 format
// arguments, from block DEFINE_SAFE_FORMAT_FUNCTION) added. Blocks are looked
// up in `blocks` when invoked ("Map entry not found" when absent). The
// expansions go straight into the invocation's output and are measured
// against `limit` (expandRepeatedly). `blocks` must outlive the macro.
wyx::tool::macro_writer_t makeDefineDeclareMacro(const wyx::tool::blockmap_t& blocks,
                                                 const size_limit_t& limit,
                                                 std::uint32_t maxFixedParams,
                                                 std::uint32_t maxFormatParams);

// The UTF-8 bytes of a format name as it enters the text, up to its first
// NUL character.
std::string formatNameText(const std::u16string& name);

}  // namespace qirt
