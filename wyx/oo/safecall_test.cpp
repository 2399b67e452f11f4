// The safecall round trip in a program that does not export the
// error-information hook: every failure arrives as "Unknown exception occurred".
#include "wyx/oo/safecall.hpp"

#include <gtest/gtest.h>

#include "wyx/io/memory_stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/exception.hpp"

namespace wyx::oo {
namespace {

std::string messageOfFailure(status_t status) {
  try {
    checkSafecall(status);
  } catch (const ESafecallException& e) {
    EXPECT_EQ(u"", e.source());
    EXPECT_EQ(0, e.helpContext());
    EXPECT_EQ(kIidUnknown, e.guid());
    return e.what();
  }
  ADD_FAILURE() << "checkSafecall returned";
  return "";
}

TEST(SafecallWithoutHookTest, EveryFailureIsUnknown) {
  status_t statuses[] = {
      safecallBoundary([] { io::raiseStreamReadError(); }),
      safecallBoundary([] { throw EReadError(u"Stream-Lesefehler"); }),
      safecallBoundary([] { throw 42; }),
  };
  for (status_t status : statuses) {
    EXPECT_EQ(kStatusFailed, status);
    EXPECT_EQ("Unknown exception occurred", messageOfFailure(status));
  }
  EXPECT_EQ(kStatusOk, safecallBoundary([] {}));
}

TEST(SafecallWithoutHookTest, StreamErrorsArriveThroughCheckStatus) {
  InterfacePtr<io::MemoryStream> stream(new io::MemoryStream);
  char buffer[4];
  EXPECT_THROW(checkStatus(stream->readBuffer(buffer, 1)), ESafecallException);
  EXPECT_THROW(checkStatus(stream->setPosition(1)), ESafecallException);
  EXPECT_NO_THROW(checkStatus(stream->setPosition(0)));
}

TEST(SafecallExceptionTest, CopiesEveryField) {
  const guid_t guid = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  ESafecallException original(u"Ung\u00fcltig", u"src", guid, -7, u"help.hlp");
  ESafecallException copy = original;
  EXPECT_STREQ("Ung\xc3\xbcltig", copy.what());
  EXPECT_EQ(u"src", copy.source());
  EXPECT_EQ(guid, copy.guid());
  EXPECT_EQ(-7, copy.helpContext());
  EXPECT_EQ(u"help.hlp", copy.helpFile());
}

}  // namespace
}  // namespace wyx::oo
