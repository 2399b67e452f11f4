#include "wyx/io/memory_stream.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace wyx::io {
namespace {

using oo::InterfacePtr;
using oo::kStatusOk;

// An allocator that refuses any block larger than the current limit.
std::size_t allocationLimit = SIZE_MAX;
void* limitedRealloc(void* block, std::size_t size) {
  return size > allocationLimit ? nullptr : std::realloc(block, size);
}

class MemoryStreamTest : public ::testing::Test {
 protected:
  void TearDown() override { allocationLimit = SIZE_MAX; }

  static std::string contentOf(MemoryStream& stream) { return std::string(stream.data(), stream.getSize()); }
};

TEST_F(MemoryStreamTest, NewStreamIsEmpty) {
  InterfacePtr<MemoryStream> stream(new MemoryStream);
  char buffer[4];
  EXPECT_EQ(0u, stream->getSize());
  EXPECT_EQ(0u, stream->getPosition());
  EXPECT_EQ(0u, stream->getCapacity());
  EXPECT_EQ(0u, stream->read(buffer, 4));
  EXPECT_EQ(kStatusOk, stream->setPosition(0));
  EXPECT_NE(kStatusOk, stream->setPosition(1));
}

TEST_F(MemoryStreamTest, GrowthRule) {
  InterfacePtr<MemoryStream> stream(new MemoryStream);
  const std::pair<std::uint32_t, std::uint32_t> steps[] = {
      {10, 2020}, {2021, 4022}, {5000, 7978}, {100, 7978}, {7978, 7978}, {7979, 9980}};
  for (auto [size, capacity] : steps) {
    ASSERT_TRUE(stream->setSize(size));
    EXPECT_EQ(size, stream->getSize());
    EXPECT_EQ(capacity, stream->getCapacity()) << "after setSize(" << size << ")";
  }
}

TEST_F(MemoryStreamTest, WriteReadAndShrink) {
  InterfacePtr<MemoryStream> stream(new MemoryStream);
  EXPECT_EQ(10u, stream->write("0123456789", 10));
  EXPECT_EQ(10u, stream->getSize());
  EXPECT_EQ(10u, stream->getPosition());
  EXPECT_EQ(2020u, stream->getCapacity());
  char buffer[100];
  ASSERT_EQ(kStatusOk, stream->setPosition(0));
  EXPECT_EQ(10u, stream->read(buffer, 100));
  // At the end a read gives nothing; a huge count reads nothing at all.
  EXPECT_EQ(0u, stream->read(buffer, 100));
  ASSERT_EQ(kStatusOk, stream->setPosition(2));
  EXPECT_EQ(0u, stream->read(buffer, 0x80000000u));
  ASSERT_EQ(kStatusOk, stream->setPosition(10));
  ASSERT_TRUE(stream->setSize(3));
  EXPECT_EQ(3u, stream->getSize());
  EXPECT_EQ(3u, stream->getPosition());
  EXPECT_EQ(2020u, stream->getCapacity());
}

TEST_F(MemoryStreamTest, ShortReadBufferConsumesWhatWasThere) {
  InterfacePtr<MemoryStream> stream(new MemoryStream);
  stream->write("abc", 3);
  ASSERT_EQ(kStatusOk, stream->setPosition(0));
  char buffer[5];
  EXPECT_NE(kStatusOk, stream->readBuffer(buffer, 5));
  EXPECT_EQ(3u, stream->getPosition());
  EXPECT_NE(kStatusOk, stream->setPosition(4));
  EXPECT_EQ(3u, stream->getPosition());
}

TEST_F(MemoryStreamTest, WriteBeforeTheEndOverwritesAndKeepsTheLargerSize) {
  InterfacePtr<MemoryStream> stream(new MemoryStream);
  stream->write("abcdef", 6);
  ASSERT_EQ(kStatusOk, stream->setPosition(2));
  EXPECT_EQ(2u, stream->write("XY", 2));
  EXPECT_EQ("abXYef", contentOf(*stream));
  ASSERT_EQ(kStatusOk, stream->setPosition(5));
  EXPECT_EQ(3u, stream->write("123", 3));
  EXPECT_EQ("abXYe123", contentOf(*stream));
}

TEST_F(MemoryStreamTest, GrowingTheSizeZeroesTheNewBytes) {
  InterfacePtr<MemoryStream> stream(new MemoryStream);
  stream->write("abc", 3);
  ASSERT_TRUE(stream->setSize(1));
  ASSERT_TRUE(stream->setSize(4));
  EXPECT_EQ(std::string("a\0\0\0", 4), contentOf(*stream));
}

TEST_F(MemoryStreamTest, FailingAllocatorStepsDownThenHalvesTheWrite) {
  InterfacePtr<MemoryStream> stream(new MemoryStream(limitedRealloc));
  // The first target (2 * 1000 + 2000 = 4000) fails; stepping down by 375
  // reaches 3250, which fits.
  allocationLimit = 3300;
  ASSERT_TRUE(stream->setSize(1000));
  EXPECT_EQ(3250u, stream->getCapacity());
  ASSERT_TRUE(stream->setSize(0));
  // 5000 bytes cannot be had at all, 2500 can: the write stores a halved prefix.
  std::string text(5000, 'q');
  EXPECT_EQ(2500u, stream->write(text.data(), 5000));
  EXPECT_EQ(2500u, stream->getSize());
  // An exact write that cannot be stored whole is an error; the prefix that
  // fitted (625 bytes) stays.
  EXPECT_NE(kStatusOk, stream->writeBuffer(text.data(), 5000));
  EXPECT_EQ(3125u, stream->getSize());
  // Without any new memory only what the capacity still holds is written.
  allocationLimit = 0;
  EXPECT_FALSE(stream->setSize(4000));
  EXPECT_EQ(3125u, stream->getSize());
  EXPECT_EQ(125u, stream->write(text.data(), 2000));
}

TEST_F(MemoryStreamTest, CopyFromReadsTheSourceStraightIn) {
  InterfacePtr<MemoryStream> source(new MemoryStream);
  source->write("hello world", 11);
  ASSERT_EQ(kStatusOk, source->setPosition(6));
  InterfacePtr<MemoryStream> target(new MemoryStream);
  target->write(">", 1);
  EXPECT_EQ(kStatusOk, target->copyFrom(source, 5));
  EXPECT_EQ(">world", contentOf(*target));
  EXPECT_EQ(11u, source->getPosition());
  // The source's count is back where it was.
  EXPECT_EQ(2, source->AddRef());
  source->Release();
}

TEST_F(MemoryStreamTest, CopyFromFailures) {
  InterfacePtr<MemoryStream> source(new MemoryStream);
  source->write("abc", 3);
  ASSERT_EQ(kStatusOk, source->setPosition(0));
  InterfacePtr<MemoryStream> target(new MemoryStream(limitedRealloc));
  // The source runs short: the size has grown, the position has not moved.
  EXPECT_NE(kStatusOk, target->copyFrom(source, 5));
  EXPECT_EQ(5u, target->getSize());
  EXPECT_EQ(0u, target->getPosition());
  // No memory: nothing changes, the source is not read.
  ASSERT_EQ(kStatusOk, source->setPosition(0));
  allocationLimit = 0;
  EXPECT_NE(kStatusOk, target->copyFrom(source, 5000));
  EXPECT_EQ(5u, target->getSize());
  EXPECT_EQ(0u, source->getPosition());
  EXPECT_EQ(2, source->AddRef());
  source->Release();
}

TEST_F(MemoryStreamTest, SinkSwallowsEverything) {
  InterfacePtr<SinkStream> sink(new SinkStream);
  InterfacePtr<MemoryStream> source(new MemoryStream);
  source->write("abc", 3);
  ASSERT_EQ(kStatusOk, source->setPosition(1));
  EXPECT_EQ(3u, sink->write("abc", 3));
  EXPECT_EQ(kStatusOk, sink->writeBuffer("abc", 3));
  EXPECT_EQ(kStatusOk, sink->copyFrom(source, 2));
  EXPECT_EQ(1u, source->getPosition());
  EXPECT_EQ(0u, sink->getSize());
  EXPECT_EQ(0u, sink->getPosition());
  char buffer[1];
  EXPECT_EQ(0u, sink->read(buffer, 1));
  EXPECT_EQ(kStatusOk, sink->readBuffer(buffer, 0));
  EXPECT_NE(kStatusOk, sink->readBuffer(buffer, 1));
  EXPECT_EQ(kStatusOk, sink->setPosition(0));
  EXPECT_NE(kStatusOk, sink->setPosition(1));
}

TEST_F(MemoryStreamTest, SharedOwnerDestroysThroughTheBase) {
  std::shared_ptr<MemoryStream> block = makeSharedStream<MemoryStream>();
  IStreamPtr asStream = block;
  block.reset();
  EXPECT_EQ(3u, asStream->write("abc", 3));
  EXPECT_EQ(3u, asStream->getSize());
  asStream.reset();  // the last owner frees it; the sanitizer run checks the memory
}

TEST_F(MemoryStreamTest, ReleaseAtZeroDestroys) {
  MemoryStream* stream = new MemoryStream;
  EXPECT_EQ(1, stream->AddRef());
  EXPECT_EQ(0, stream->Release());  // destroyed; the sanitizer run checks the memory
}

}  // namespace
}  // namespace wyx::io
