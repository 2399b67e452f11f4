#include "checker/format_mode.hpp"

#include <atomic>
#include <cstdlib>

#include "checker/format_observe.hpp"

namespace qirt {

namespace {

// The mode set in code, and the environment's once read. Plain atomics: a
// wrong call may come from any thread, and reading the variable twice
// where two threads race to read it first does no harm.
std::atomic<int> chosenMode{kFormatModeDefault};
constexpr int kUnread = -1;
std::atomic<int> environmentMode{kUnread};

constexpr const char* kModeNames[] = {"throw", "observe", "abort"};
static_assert(kFormatModeThrow == 1 && kFormatModeAbort == 3, "kModeNames follows FormatMode");

bool equalIgnoringCase(const char* text, const char* lower) {
  for (; *text != '\0' && *lower != '\0'; ++text, ++lower) {
    const char c = (*text >= 'A' && *text <= 'Z') ? static_cast<char>(*text - 'A' + 'a') : *text;
    if (c != *lower) return false;
  }
  return *text == *lower;
}

// QIRT_FORMAT_MODE: a mode name, in any case; unset or empty for none.
// Anything else is ignored, with a warning from the one thread that reads
// the variable first.
FormatMode environmentChoice() {
  int mode = environmentMode.load(std::memory_order_relaxed);
  if (mode != kUnread) return static_cast<FormatMode>(mode);
  const char* value = std::getenv("QIRT_FORMAT_MODE");
  bool known = value == nullptr || *value == '\0';
  mode = kFormatModeDefault;
  for (int name = kFormatModeThrow; !known && name <= kFormatModeAbort; ++name) {
    known = equalIgnoringCase(value, kModeNames[name - 1]);
    if (known) mode = name;
  }
  int unread = kUnread;
  if (!environmentMode.compare_exchange_strong(unread, mode))
    return static_cast<FormatMode>(unread);
  if (!known) {
    detail::writeFormatNote("QIRT_FORMAT_MODE=", value, " is not throw, observe or abort: ignored");
  }
  return static_cast<FormatMode>(mode);
}

}  // namespace

FormatMode setFormatMode(FormatMode mode) {
  if (mode < kFormatModeDefault || mode > kFormatModeAbort) mode = kFormatModeDefault;
  return static_cast<FormatMode>(chosenMode.exchange(mode));
}

FormatMode formatMode() {
  const auto chosen = static_cast<FormatMode>(chosenMode.load(std::memory_order_relaxed));
  return chosen != kFormatModeDefault ? chosen : environmentChoice();
}

namespace detail {

FormatMode modeOf(unsigned unitMode) {
  const FormatMode mode = formatMode();
  if (mode != kFormatModeDefault) return mode;
  if (unitMode >= kFormatModeThrow && unitMode <= kFormatModeAbort) {
    return static_cast<FormatMode>(unitMode);
  }
  return kFormatModeThrow;
}

}  // namespace detail

}  // namespace qirt
