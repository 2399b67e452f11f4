#include <pthread.h>
#include <unistd.h>

#include "checker/format_process.hpp"

namespace qirt::detail {

unsigned long processId() noexcept { return static_cast<unsigned long>(getpid()); }

// The child runs one thread, so the reset needs no care; failure to register
// (no memory) only leaves the child with its parent's counts.
void callInForkedChild(void (*reset)()) noexcept { pthread_atfork(nullptr, nullptr, reset); }

}  // namespace qirt::detail
