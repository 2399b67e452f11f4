// What the reports of wrong calls need from the operating system. One
// implementation per system (format_process_posix.cpp, _win32.cpp), chosen
// by CMake. Internal to the checking library.
#pragma once

namespace qirt::detail {

// The id of this process, which the reports name so that processes can
// share a log.
unsigned long processId() noexcept;

// Has `reset` run in the child of every later fork, before anything else
// there; nothing where the system does not fork.
void callInForkedChild(void (*reset)()) noexcept;

}  // namespace qirt::detail
