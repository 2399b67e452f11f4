#include "wyx/oo/safecall.hpp"

#include <exception>

#include "wyx/oo/exception.hpp"
#include "wyx/platform/platform.hpp"

namespace wyx::oo {

namespace {

constexpr char16_t kUnknownException[] = u"Unknown exception occurred";
constexpr char16_t kErrorSource[] = u"the application";
constexpr char kInitializeExport[] = "wyx_oo_initializeCOM";

// This thread's pending error information: what setErrorInfo records and
// checkSafecall consumes.
struct error_info_t {
  bool pending = false;
  UnicodeString description;
  UnicodeString source;
  UnicodeString helpFile;
  std::int32_t helpContext = 0;
  guid_t guid = kIidUnknown;
};

// A plain pointer, not an object: a thread_local object with a destructor
// registers it on first use, and the C library ends the process when that
// registration runs out of memory, which must not happen on the way to a
// report. Created by the first setErrorInfo of a thread, kept until the
// process ends.
thread_local error_info_t* threadErrorInfo = nullptr;

}  // namespace

ESafecallException::ESafecallException(const UnicodeString& description,
                                       const UnicodeString& source, const guid_t& guid,
                                       std::int32_t helpContext, const UnicodeString& helpFile)
    : std::runtime_error(toNarrowString(description, kCodePageOem)),
      helpContext_(helpContext),
      helpFile_(helpFile),
      source_(source),
      guid_(guid) {}

status_t handleSafecallException() noexcept {
  UnicodeString description;
  try {
    throw;
  } catch (const std::exception& e) {
    description = toWideString(e.what(), kCodePageOem);
  } catch (const Exception& e) {
    description = e.message();
  } catch (...) {
    description = kUnknownException;
  }
  return setErrorInfo(description, kIidUnknown, 0, UnicodeString());
}

status_t setErrorInfo(const UnicodeString& description, const guid_t& guid,
                      std::int32_t helpContext, const UnicodeString& helpFile) noexcept {
  // Error information is only kept by programs that ask for it by exporting
  // the initialisation hook; without it the status alone travels.
  auto initialize = reinterpret_cast<void (*)()>(platform::findOwnExport(kInitializeExport));
  if (initialize == nullptr) return kStatusFailed;
  try {
    initialize();
    if (threadErrorInfo == nullptr) threadErrorInfo = new error_info_t();
    error_info_t& info = *threadErrorInfo;
    info.description = description;
    info.helpContext = helpContext;
    info.helpFile = helpFile;
    info.source = kErrorSource;
    info.guid = guid;
    info.pending = true;
  } catch (...) {
    return kStatusFailed;
  }
  return kStatusFailedWithInfo;
}

void checkSafecall(status_t /*status*/) {
  if (threadErrorInfo == nullptr || !threadErrorInfo->pending) {
    throw ESafecallException(kUnknownException, UnicodeString(), kIidUnknown, 0, UnicodeString());
  }
  // Consume the information: it belongs to this one failure.
  error_info_t taken = std::move(*threadErrorInfo);
  *threadErrorInfo = error_info_t();
  throw ESafecallException(taken.description, taken.source, taken.guid, taken.helpContext,
                           taken.helpFile);
}

}  // namespace wyx::oo
