#include "wyx/oo/safecall.hpp"

#include <exception>

#include "wyx/oo/exception.hpp"
#include "wyx/oo/platform.hpp"

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

thread_local error_info_t threadErrorInfo;

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
    error_info_t& info = threadErrorInfo;
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
  error_info_t& info = threadErrorInfo;
  if (!info.pending) {
    throw ESafecallException(kUnknownException, UnicodeString(), kIidUnknown, 0, UnicodeString());
  }
  // Consume the information: it belongs to this one failure.
  error_info_t taken = std::move(info);
  info = error_info_t();
  throw ESafecallException(taken.description, taken.source, taken.guid, taken.helpContext,
                           taken.helpFile);
}

}  // namespace wyx::oo
