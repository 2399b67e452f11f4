#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "wyx/io/c_stream_wrapper.hpp"
#include "wyx/io/copy_stream.hpp"
#include "wyx/io/cpp_stream_wrapper.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/io/runtime_stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace wyx::io {
namespace {

using oo::InterfacePtr;
using oo::kStatusOk;

// A stream that records the size of every exact transfer made through it.
class RecordingStream : public MemoryStream {
 public:
  std::vector<std::uint32_t> reads, writes;
  oo::status_t readBuffer(void* buffer, std::uint32_t count) override {
    reads.push_back(count);
    return MemoryStream::readBuffer(buffer, count);
  }
  oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override {
    writes.push_back(count);
    return MemoryStream::writeBuffer(buffer, count);
  }
};

TEST(CopyStreamTest, CopiesInChunksOf4096) {
  InterfacePtr<RecordingStream> source(new RecordingStream);
  InterfacePtr<RecordingStream> target(new RecordingStream);
  std::string text(10000, 'x');
  source->write(text.data(), 10000);
  oo::checkStatus(source->setPosition(0));
  copyStream(target, source, 10000);
  EXPECT_EQ((std::vector<std::uint32_t>{4096, 4096, 1808}), source->reads);
  EXPECT_EQ((std::vector<std::uint32_t>{4096, 4096, 1808}), target->writes);
  copyStream(target, source, 0);
  EXPECT_EQ(3u, source->reads.size());
}

TEST(CopyStreamTest, ShortSourceRaises) {
  InterfacePtr<MemoryStream> source(new MemoryStream);
  InterfacePtr<MemoryStream> target(new MemoryStream);
  source->write("abc", 3);
  oo::checkStatus(source->setPosition(0));
  EXPECT_THROW(copyStream(target, source, 4), oo::ESafecallException);
}

class CStreamWrapperTest : public ::testing::Test {
 protected:
  std::FILE* file_ = std::tmpfile();
  void SetUp() override {
    ASSERT_NE(nullptr, file_);
    std::string hundred(100, 'h');
    std::fwrite(hundred.data(), 1, 100, file_);
    std::fseek(file_, 40, SEEK_SET);
  }
  void TearDown() override {
    if (file_) std::fclose(file_);
  }
};

TEST_F(CStreamWrapperTest, NullFileIsAnOpenError) {
  try {
    new CStreamWrapper(nullptr, 1);
    FAIL() << "no exception";
  } catch (const EStreamOpenError& e) {
    EXPECT_STREQ("Opening stream failed", e.what());
  }
}

TEST_F(CStreamWrapperTest, SizeKeepsThePosition) {
  InterfacePtr<CStreamWrapper> wrapper(new CStreamWrapper(file_, 0));
  EXPECT_EQ(100u, wrapper->getSize());
  EXPECT_EQ(40u, wrapper->getPosition());
}

TEST_F(CStreamWrapperTest, ShortReadBufferFails) {
  InterfacePtr<CStreamWrapper> wrapper(new CStreamWrapper(file_, 0));
  ASSERT_EQ(kStatusOk, wrapper->setPosition(96));
  char buffer[10];
  EXPECT_NE(kStatusOk, wrapper->readBuffer(buffer, 10));
  // Positioning never fails; the bad position shows in the next read.
  EXPECT_EQ(kStatusOk, wrapper->setPosition(500));
  EXPECT_EQ(0u, wrapper->read(buffer, 10));
}

TEST_F(CStreamWrapperTest, CopyFromWritesTheSource) {
  InterfacePtr<MemoryStream> source(new MemoryStream);
  source->write("abcdef", 6);
  oo::checkStatus(source->setPosition(0));
  InterfacePtr<CStreamWrapper> wrapper(new CStreamWrapper(file_, 0));
  ASSERT_EQ(kStatusOk, wrapper->setPosition(0));
  EXPECT_EQ(kStatusOk, wrapper->copyFrom(source, 6));
  std::fflush(file_);
  std::fseek(file_, 0, SEEK_SET);
  char buffer[7] = {};
  ASSERT_EQ(6u, std::fread(buffer, 1, 6, file_));
  EXPECT_STREQ("abcdef", buffer);
}

TEST_F(CStreamWrapperTest, OwnsOneClosesTheFile) {
  // With owns 0 the file outlives the wrapper and can still be written.
  { InterfacePtr<CStreamWrapper> borrowed(new CStreamWrapper(file_, 0)); }
  EXPECT_EQ(1u, std::fwrite("z", 1, 1, file_));
  // Any value other than 1 also leaves the file alone.
  { InterfacePtr<CStreamWrapper> borrowed(new CStreamWrapper(file_, 2)); }
  EXPECT_EQ(1u, std::fwrite("z", 1, 1, file_));
  // With owns 1 the wrapper closes it (the sanitizer run would see a leak otherwise).
  { InterfacePtr<CStreamWrapper> owner(new CStreamWrapper(std::exchange(file_, nullptr), 1)); }
}

TEST(CppStreamWrapperTest, WriteAppendsToTheStringStream) {
  std::stringstream text("", std::ios::in | std::ios::out);
  {
    CppStreamWrapper<std::stringstream> wrapper(&text, 0);
    EXPECT_EQ(5u, wrapper.write("hello", 5));
    EXPECT_EQ(kStatusOk, wrapper.writeBuffer(" you", 4));
    EXPECT_EQ(9u, wrapper.getSize());
    EXPECT_EQ(0u, wrapper.getPosition());
  }
  // The wrapper did not own the stream: it is still usable.
  text << "!";
  EXPECT_EQ("hello you!", text.str());
}

TEST(CppStreamWrapperTest, ShortReadFailsTheStreamAndSetPositionClearsIt) {
  std::stringstream text("abcd");
  CppStreamWrapper<std::stringstream> wrapper(&text, 0);
  char buffer[10];
  EXPECT_EQ(0u, wrapper.read(buffer, 10));
  EXPECT_TRUE(text.fail());
  EXPECT_EQ(0xFFFFFFFFu, wrapper.getPosition());
  EXPECT_EQ(kStatusOk, wrapper.setPosition(0));
  EXPECT_FALSE(text.fail());
  // The state was cleared without moving: the read consumed everything.
  EXPECT_EQ(4u, wrapper.getPosition());
  EXPECT_EQ(kStatusOk, wrapper.setPosition(1));
  EXPECT_EQ(3u, wrapper.read(buffer, 3));
  EXPECT_EQ("bcd", std::string(buffer, 3));
  EXPECT_NE(kStatusOk, wrapper.readBuffer(buffer, 1));
}

TEST(CppStreamWrapperTest, RefusedSeekSetsTheFailFlag) {
  std::stringstream text("abcd");
  CppStreamWrapper<std::stringstream> wrapper(&text, 0);
  EXPECT_EQ(kStatusOk, wrapper.setPosition(100));
  EXPECT_TRUE(text.fail());
  EXPECT_EQ(0xFFFFFFFFu, wrapper.getPosition());
}

TEST(CppStreamWrapperTest, OwnsOneDeletesTheStream) {
  auto* owned = new std::stringstream("x");
  InterfacePtr<IStream> wrapper(new CppStreamWrapper<std::stringstream>(owned, 1));
  EXPECT_EQ(1u, wrapper->getSize());
}

TEST(RuntimeStreamWrapperTest, ReadsAndPositions) {
  InterfacePtr<RuntimeStreamWrapper> wrapper(
      new RuntimeStreamWrapper(new RuntimeMemoryStream("template text"), 1));
  EXPECT_EQ(13u, wrapper->getSize());
  char buffer[8];
  EXPECT_EQ(kStatusOk, wrapper->readBuffer(buffer, 8));
  EXPECT_EQ("template", std::string(buffer, 8));
  EXPECT_EQ(8u, wrapper->getPosition());
  EXPECT_NE(kStatusOk, wrapper->readBuffer(buffer, 8));
  EXPECT_EQ(kStatusOk, wrapper->setPosition(100));
  EXPECT_EQ(0u, wrapper->read(buffer, 8));
}

TEST(RuntimeStreamWrapperTest, CopyFromBothPaths) {
  RuntimeMemoryStream target;
  InterfacePtr<RuntimeStreamWrapper> wrapper(new RuntimeStreamWrapper(&target, 0));
  // From another runtime stream: the runtime streams copy directly.
  InterfacePtr<RuntimeStreamWrapper> runtimeSource(
      new RuntimeStreamWrapper(new RuntimeMemoryStream("abc"), 1));
  EXPECT_EQ(kStatusOk, wrapper->copyFrom(runtimeSource, 3));
  // From any other stream: in chunks through readBuffer.
  InterfacePtr<MemoryStream> memory(new MemoryStream);
  std::string text(5000, 'm');
  memory->write(text.data(), 5000);
  oo::checkStatus(memory->setPosition(0));
  EXPECT_EQ(kStatusOk, wrapper->copyFrom(memory, 5000));
  EXPECT_EQ("abc" + text, target.bytes());
  // A short source fails on both paths.
  EXPECT_NE(kStatusOk, wrapper->copyFrom(memory, 1));
  InterfacePtr<RuntimeStreamWrapper> shortSource(
      new RuntimeStreamWrapper(new RuntimeMemoryStream("xyz"), 1));
  EXPECT_NE(kStatusOk, wrapper->copyFrom(shortSource, 10));
}

}  // namespace
}  // namespace wyx::io
