#include "wyx/oo/interface.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "wyx/io/c_stream_wrapper.hpp"
#include "wyx/io/cpp_stream_wrapper.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/io/runtime_stream.hpp"

namespace wyx::oo {
namespace {

using io::IStream;
using io::MemoryStream;

struct query_case_t {
  const char* name;
  const guid_t* iid;
  bool answered;
};

TEST(QueryInterfaceTest, MemoryStreamAnswersItsChainOnly) {
  const query_case_t cases[] = {
      {"IStream", IStream::interfaceInfo().id, true},
      {"IUnknown", &kIidUnknown, true},
      {"IInterface", IInterface::interfaceInfo().id, true},
      {"MemoryStream", MemoryStream::interfaceInfo().id, true},
      {"SinkStream", io::SinkStream::interfaceInfo().id, false},
      {"CStreamWrapper", io::CStreamWrapper::interfaceInfo().id, false},
  };
  InterfacePtr<MemoryStream> stream(new MemoryStream);
  for (const auto& c : cases) {
    void* out = reinterpret_cast<void*>(1);
    status_t status = stream->QueryInterface(*c.iid, &out);
    if (c.answered) {
      EXPECT_EQ(kStatusOk, status) << c.name;
      EXPECT_EQ(static_cast<void*>(stream.get()), out) << c.name;
      EXPECT_EQ(2, stream->AddRef() - 1) << c.name;  // one for us, one for the answer
      stream->Release();
      static_cast<IUnknown*>(out)->Release();
    } else {
      EXPECT_EQ(kStatusNoInterface, status) << c.name;
      EXPECT_EQ(nullptr, out) << c.name;
    }
  }
}

TEST(QueryInterfaceTest, CppStreamWrapperAnswersIStreamAndItsBasesOnly) {
  std::stringstream text;
  InterfacePtr<IStream> wrapper(new io::CppStreamWrapper<std::stringstream>(&text, 0));
  const query_case_t cases[] = {
      {"IStream", IStream::interfaceInfo().id, true},
      {"IUnknown", &kIidUnknown, true},
      {"MemoryStream", MemoryStream::interfaceInfo().id, false},
      {"RuntimeStreamWrapper", io::RuntimeStreamWrapper::interfaceInfo().id, false},
  };
  for (const auto& c : cases) {
    void* out = nullptr;
    EXPECT_EQ(c.answered ? kStatusOk : kStatusNoInterface, wrapper->QueryInterface(*c.iid, &out))
        << c.name;
    if (out) wrapper->Release();
  }
}

// A counted object that records its own destruction.
class Probe final : public IInterface {
 public:
  explicit Probe(bool* destroyed) : destroyed_(destroyed) {}
  status_t QueryInterface(const guid_t& iid, void** out) override {
    const interface_entry_t entries[] = {{&IInterface::interfaceInfo(), this}, {nullptr, nullptr}};
    return queryInterfaceLookup(iid, out, entries);
  }
  std::int32_t AddRef() override { return refs_.increment(); }
  std::int32_t Release() override {
    std::int32_t count = refs_.decrement();
    if (count == 0) delete this;
    return count;
  }
  std::int32_t count() const { return refs_.value(); }

 private:
  ~Probe() { *destroyed_ = true; }
  bool* destroyed_;
  RefCounter refs_;
};

TEST(InterfacePtrTest, CountsReturnToTheirStart) {
  bool destroyed = false;
  Probe* probe = new Probe(&destroyed);
  {
    InterfacePtr<Probe> first(probe);
    EXPECT_EQ(1, probe->count());
    {
      InterfacePtr<Probe> copy = first;
      InterfacePtr<Probe> moved = std::move(copy);
      EXPECT_EQ(2, probe->count());
      InterfacePtr<IInterface> upcast = moved;
      EXPECT_EQ(3, probe->count());
    }
    EXPECT_EQ(1, probe->count());
    EXPECT_FALSE(destroyed);
  }
  EXPECT_TRUE(destroyed);
}

TEST(InterfacePtrTest, NullPointersCountNothing) {
  InterfacePtr<IStream> empty(static_cast<IStream*>(nullptr));
  InterfacePtr<IStream> copy = empty;
  EXPECT_FALSE(copy);
  auto queried = InterfacePtr<MemoryStream>::queryFrom(copy);
  EXPECT_FALSE(queried);
}

TEST(InterfacePtrTest, ConversionByQueryInterface) {
  InterfacePtr<IStream> stream(new MemoryStream);
  auto asMemory = InterfacePtr<MemoryStream>::queryFrom(stream);
  ASSERT_TRUE(asMemory);
  EXPECT_EQ(static_cast<IStream*>(asMemory.get()), stream.get());
  // Not answered: null, no exception.
  auto asFile = InterfacePtr<io::CStreamWrapper>::queryFrom(stream);
  EXPECT_FALSE(asFile);
  EXPECT_EQ(3, stream->AddRef());
  EXPECT_EQ(2, stream->Release());
}

TEST(InterfacePtrTest, OutPtrReleasesWhatWasHeld) {
  bool destroyed = false;
  InterfacePtr<IInterface> held(new Probe(&destroyed));
  InterfacePtr<MemoryStream> source(new MemoryStream);
  source->QueryInterface(kIidUnknown, held.outPtr());
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(static_cast<void*>(source.get()), static_cast<void*>(held.get()));
}

}  // namespace
}  // namespace wyx::oo
