// Which mode a wrong call gets: the program's choice, the environment's, the
// unit's build default, throw. Internal to the checking library.
#pragma once

#include "qirt/format_error.hpp"

namespace qirt::detail {

// The mode of a wrong call from a unit built with `unitMode` (the mode bits
// of its call word), when no handler is installed; never kFormatModeDefault.
FormatMode modeOf(unsigned unitMode);

}  // namespace qirt::detail
