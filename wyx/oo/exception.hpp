// The Exception family: the errors of the options-file reader and of resource
// look-up. Each carries a wide message and reports its most-derived class name.
// It deliberately does not derive from std::exception: the driver and the
// safecall boundary tell the two families apart.
#pragma once

#include <string>
#include <string_view>

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

// One argument of formatMessage: UTF-8 text or an integer.
class MessageArgument {
 public:
  MessageArgument(std::string_view text) : text_(text) {}
  MessageArgument(const char* text) : text_(text) {}
  MessageArgument(const std::string& text) : text_(text) {}
  MessageArgument(int number) : number_(number), isNumber_(true) {}

  void appendTo(std::string* out) const;

 private:
  std::string_view text_;
  int number_ = 0;
  bool isNumber_ = false;
};

// Builds a message from a UTF-8 format in which each "%s" and "%d" takes the
// next argument and "%%" stands for "%". Texts are taken whole, NUL bytes
// included: names read from a damaged file reach the report as they were.
UnicodeString formatMessageOf(const char* format, const MessageArgument* arguments,
                              std::size_t count);

template <class... Arguments>
UnicodeString formatMessage(const char* format, const Arguments&... arguments) {
  const MessageArgument list[] = {MessageArgument(arguments)..., MessageArgument("")};
  return formatMessageOf(format, list, sizeof...(Arguments));
}

#define WYX_DECLARE_EXCEPTION(Name, Base)                    \
  class Name : public Base {                                 \
   public:                                                   \
    using Base::Base;                                        \
    const char* className() const override { return #Name; } \
  }

WYX_DECLARE_EXCEPTION(EFOpenError, Exception);
WYX_DECLARE_EXCEPTION(EReadError, Exception);
WYX_DECLARE_EXCEPTION(EParserError, Exception);
WYX_DECLARE_EXCEPTION(EConvertError, Exception);
WYX_DECLARE_EXCEPTION(EClassNotFound, Exception);
WYX_DECLARE_EXCEPTION(EComponentError, Exception);
WYX_DECLARE_EXCEPTION(EResNotFound, Exception);

}  // namespace wyx::oo
