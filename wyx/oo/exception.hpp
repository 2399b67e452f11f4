// The Exception family: the errors of the options-file reader and of resource
// look-up. Each carries a wide message and reports its most-derived class name.
// It deliberately does not derive from std::exception: the driver and the
// safecall boundary tell the two families apart.
#pragma once

#include "wyx/oo/strings.hpp"

namespace wyx::oo {

class Exception {
 public:
  explicit Exception(UnicodeString message) : message_(std::move(message)) {}
  virtual ~Exception() = default;

  const UnicodeString& message() const { return message_; }
  // The most-derived class's name, for instance "EReadError".
  virtual const char* className() const { return "Exception"; }

 private:
  UnicodeString message_;
};

// Builds a message from a UTF-8 printf format and UTF-8 arguments.
UnicodeString formatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define WYX_DECLARE_EXCEPTION(Name, Base)                           \
  class Name : public Base {                                        \
   public:                                                          \
    using Base::Base;                                               \
    const char* className() const override { return #Name; }        \
  }

WYX_DECLARE_EXCEPTION(EFOpenError, Exception);
WYX_DECLARE_EXCEPTION(EReadError, Exception);
WYX_DECLARE_EXCEPTION(EParserError, Exception);
WYX_DECLARE_EXCEPTION(EConvertError, Exception);
WYX_DECLARE_EXCEPTION(EClassNotFound, Exception);
WYX_DECLARE_EXCEPTION(EComponentError, Exception);
WYX_DECLARE_EXCEPTION(EResNotFound, Exception);

}  // namespace wyx::oo
