// The safecall protocol: an operation of this kind never lets an exception
// out. Its body runs inside safecallBoundary, which turns whatever was thrown
// into a nonzero status (recording error information where it can); the
// caller turns that status back into ESafecallException with checkSafecall.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "wyx/oo/guid.hpp"
#include "wyx/oo/status.hpp"
#include "wyx/oo/strings.hpp"

namespace wyx::oo {

class ESafecallException : public std::runtime_error {
 public:
  // The message is `description` narrowed with the console's code page.
  ESafecallException(const UnicodeString& description, const UnicodeString& source,
                     const guid_t& guid, std::int32_t helpContext, const UnicodeString& helpFile);

  std::int32_t helpContext() const { return helpContext_; }
  const UnicodeString& helpFile() const { return helpFile_; }
  const UnicodeString& source() const { return source_; }
  const guid_t& guid() const { return guid_; }

 private:
  std::int32_t helpContext_;
  UnicodeString helpFile_;
  UnicodeString source_;
  guid_t guid_;
};

// Call only from inside a catch handler: classifies the exception in flight
// (standard, Exception family, anything else), records it with setErrorInfo
// and returns the status the operation must return.
status_t handleSafecallException() noexcept;

// Records error information for this thread when the program exports
// "wyx_oo_initializeCOM"; returns kStatusFailedWithInfo when recorded,
// kStatusFailed otherwise. Never throws.
status_t setErrorInfo(const UnicodeString& description, const guid_t& guid,
                      std::int32_t helpContext, const UnicodeString& helpFile) noexcept;

// Given a nonzero status, raises ESafecallException from this thread's
// pending error information (consuming it), or "Unknown exception occurred"
// when none is pending.
[[noreturn]] void checkSafecall(status_t status);

// The test every caller makes after a safecall operation.
inline void checkStatus(status_t status) {
  if (status != kStatusOk) checkSafecall(status);
}

// Runs `work` as the body of a safecall operation.
template <class Work>
status_t safecallBoundary(Work&& work) noexcept {
  try {
    work();
    return kStatusOk;
  } catch (...) {
    return handleSafecallException();
  }
}

}  // namespace wyx::oo
