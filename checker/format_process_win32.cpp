#include <process.h>

#include "checker/format_process.hpp"

namespace qirt::detail {

unsigned long processId() noexcept { return static_cast<unsigned long>(_getpid()); }

void callInForkedChild(void (*)()) noexcept {}

}  // namespace qirt::detail
