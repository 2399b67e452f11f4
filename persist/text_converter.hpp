// Conversion of an options file's text form into its binary form.
#pragma once

#include <cstdint>

namespace wyx::io {
class IStream;
}

namespace persist {

// Objects, lists and collections open at one time; a deeper file is refused
// with EParserError "Verschachtelung zu tief in Zeile <n>" instead of
// exhausting the stack.
inline constexpr int kMaxNesting = 256;

// Reads one object from `input` (text form, from its current position) and
// appends its binary form to `output`. Knows nothing of the classes that the
// file will be applied to. Throws EParserError or EConvertError on a syntax
// or number error, ESafecallException when `output` refuses a write; the
// output then holds a partial form that must not be read.
void convertOptionsTextToBinary(wyx::io::IStream& input, wyx::io::IStream& output);

}  // namespace persist
