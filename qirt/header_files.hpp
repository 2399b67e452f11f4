// Putting finished header texts in place without ever leaving a header
// half-written: every changed text goes to a temporary file in the output
// directory first, and only when all of them are complete are they renamed
// over their targets.
#pragma once

#include <string_view>
#include <vector>

#include "wyx/oo/strings.hpp"

namespace qirt {

struct header_file_t {
  const char* fileName;   // name within the output directory
  std::string_view text;  // the bytes the file must hold
};

// Makes each `directory + fileName` hold exactly its text. `directory` ends in
// the path delimiter. A file whose bytes already equal its text is left alone,
// modification time included; a replaced file keeps its permissions.
//
// Raises wyx::io::EStreamOpenError when a target exists but cannot be opened
// for writing (a directory, no permission), when a temporary file cannot be
// created (missing or unwritable directory, a path that is not a directory)
// or when a rename fails; wyx::oo::ESafecallException or
// wyx::io::EStreamWriteError when writing a temporary file fails. On any
// failure every target holds what it held before (the renames are undone),
// and no temporary file is left behind.
void installHeaderFiles(const wyx::UnicodeString& directory,
                        const std::vector<header_file_t>& headers);

}  // namespace qirt
