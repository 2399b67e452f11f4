#include "app/type_name.hpp"

#include <gtest/gtest.h>

#include <ios>
#include <new>
#include <stdexcept>

#include "qirt/header_size.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"
#include "wyx/tool/macro_exception.hpp"

namespace korven {
namespace {

std::string nameOf(const std::exception& e) { return qualifiedClassName(typeid(e)).text; }

TEST(TypeNameTest, MostDerivedClassWithItsNamespaces) {
  const wyx::oo::guid_t noGuid{};
  EXPECT_EQ("wyx::io::EStreamOpenError", nameOf(wyx::io::EStreamOpenError("x")));
  EXPECT_EQ("wyx::io::EStreamWriteError", nameOf(wyx::io::EStreamWriteError("x")));
  EXPECT_EQ("wyx::tool::EMacroException", nameOf(wyx::tool::EMacroException("x")));
  EXPECT_EQ("wyx::oo::ESafecallException",
            nameOf(wyx::oo::ESafecallException(u"x", u"", noGuid, 0, u"")));
  EXPECT_EQ("qirt::EHeaderSizeLimit", nameOf(qirt::EHeaderSizeLimit("x")));
  EXPECT_EQ("std::runtime_error", nameOf(std::runtime_error("x")));
  EXPECT_EQ("std::bad_alloc", nameOf(std::bad_alloc()));
  // Carries an ABI tag in the mangled name.
  EXPECT_EQ("std::ios_base::failure", nameOf(std::ios_base::failure("x")));
}

}  // namespace
}  // namespace korven
