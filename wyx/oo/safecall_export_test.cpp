// The safecall round trip in a program that exports the error-information
// hook: the caught exception's description travels across the boundary.
#include <gtest/gtest.h>

#include <functional>

#include "wyx/io/memory_stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/platform/platform.hpp"

static int initializeCalls = 0;

WYX_OWN_EXPORT void wyx_oo_initializeCOM() { ++initializeCalls; }

namespace wyx::oo {
namespace {


TEST(SafecallWithHookTest, DescriptionSourceAndFieldsAreCarried) {
  struct case_t {
    status_t status;
    const char* expected;
  } cases[] = {
      {safecallBoundary([] { io::raiseStreamWriteError(); }), "Too few bytes written to stream"},
      {safecallBoundary([] { throw std::runtime_error("Ung\xc3\xbcltig"); }), "Ung\xc3\xbcltig"},
      {safecallBoundary([] { throw EParserError(u"Zeile \u00fc"); }), "Zeile \xc3\xbc"},
      {safecallBoundary([] { throw EReadError(u""); }), ""},
      {safecallBoundary([] { throw 1.5; }), "Unknown exception occurred"},
  };
  EXPECT_EQ(5, initializeCalls);
  for (const auto& c : cases) {
    EXPECT_EQ(kStatusFailedWithInfo, c.status);
    // Each recorded failure is consumed by the check that follows it; here
    // only the last one is still pending, so check them one at a time.
  }
  try {
    checkSafecall(cases[4].status);
  } catch (const ESafecallException& e) {
    EXPECT_STREQ(cases[4].expected, e.what());
    EXPECT_EQ(u"the application", e.source());
    EXPECT_EQ(0, e.helpContext());
    EXPECT_EQ(u"", e.helpFile());
    EXPECT_EQ(kIidUnknown, e.guid());
  }
  // The information was consumed: a second check finds none.
  try {
    checkSafecall(kStatusFailed);
  } catch (const ESafecallException& e) {
    EXPECT_STREQ("Unknown exception occurred", e.what());
    EXPECT_EQ(u"", e.source());
  }
}

TEST(SafecallWithHookTest, EachFailureReadsBackItsOwnMessage) {
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[] { io::raiseStreamWriteError(); }, "Too few bytes written to stream"},
      {[] { throw std::runtime_error("Ung\xc3\xbcltig"); }, "Ung\xc3\xbcltig"},
      {[] { throw EParserError(u"Zeile \u00fc"); }, "Zeile \xc3\xbc"},
      {[] { throw EReadError(u""); }, ""},
  };
  for (const auto& [work, expected] : cases) {
    status_t status = safecallBoundary(work);
    ASSERT_EQ(kStatusFailedWithInfo, status);
    try {
      checkSafecall(status);
    } catch (const ESafecallException& e) {
      EXPECT_STREQ(expected, e.what());
      EXPECT_EQ(u"the application", e.source());
    }
  }
}

TEST(SafecallWithHookTest, StreamReadErrorReachesTheCaller) {
  InterfacePtr<io::MemoryStream> stream(new io::MemoryStream);
  stream->write("abc", 3);
  checkStatus(stream->setPosition(0));
  char buffer[5];
  try {
    checkStatus(stream->readBuffer(buffer, 5));
    FAIL() << "no exception";
  } catch (const ESafecallException& e) {
    EXPECT_STREQ("Too few bytes read from stream", e.what());
  }
  // The bytes read before the failure stay consumed.
  EXPECT_EQ(3u, stream->getPosition());
}

}  // namespace
}  // namespace wyx::oo
