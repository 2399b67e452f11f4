// An IStream over a standard iostream (the system uses std::stringstream).
// Position and size are those of the stream's read position.
#pragma once

#include <cstdint>
#include <ios>

#include "wyx/io/copy_stream.hpp"
#include "wyx/io/stream.hpp"
#include "wyx/io/stream_errors.hpp"
#include "wyx/oo/safecall.hpp"

namespace wyx::io {

// May live as an automatic object whose count is never used; then it must
// not be handed to an InterfacePtr (nor have copyFrom called on it), since
// the Release that follows would destroy it. "Failed" below means the fail
// or the bad flag is set; end-of-file alone does not count.
template <class Stream>
class CppStreamWrapper final : public oo::RefCounted<CppStreamWrapper<Stream>, IStream> {
 public:
  // With owns == 1 the stream is deleted with the wrapper.
  CppStreamWrapper(Stream* stream, std::int32_t owns) : stream_(stream), owns_(owns) {}
  ~CppStreamWrapper() {
    if (owns_ == 1) delete stream_;
  }

  // Answers IStream and its bases only; there is no class identity.
  oo::status_t QueryInterface(const oo::guid_t& iid, void** out) override {
    const oo::interface_entry_t entries[] = {{&IStream::interfaceInfo(), this}, {nullptr, nullptr}};
    return oo::queryInterfaceLookup(iid, out, entries);
  }

  // A short read sets the fail flag and so returns 0 even if bytes arrived.
  std::uint32_t read(void* buffer, std::uint32_t count) override {
    stream_->read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return failed() ? 0 : count;
  }
  std::uint32_t write(const void* buffer, std::uint32_t count) override {
    stream_->write(static_cast<const char*>(buffer), static_cast<std::streamsize>(count));
    return failed() ? 0 : count;
  }
  std::uint32_t getSize() override {
    std::uint32_t remembered = getPosition();
    seekTo(0);
    std::uint32_t start = getPosition();
    seek([this] { return stream_->rdbuf()->pubseekoff(0, std::ios_base::end, std::ios_base::in); });
    std::uint32_t end = getPosition();
    seekTo(remembered);
    return end - start;
  }
  std::uint32_t getPosition() override {
    if (failed()) return static_cast<std::uint32_t>(-1);
    return static_cast<std::uint32_t>(
        static_cast<std::streamoff>(stream_->rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in)));
  }
  oo::status_t readBuffer(void* buffer, std::uint32_t count) override {
    return oo::safecallBoundary([&] {
      stream_->read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
      if (failed()) raiseStreamReadError();
    });
  }
  oo::status_t writeBuffer(const void* buffer, std::uint32_t count) override {
    return oo::safecallBoundary([&] {
      stream_->write(static_cast<const char*>(buffer), static_cast<std::streamsize>(count));
      if (failed()) raiseStreamWriteError();
    });
  }
  oo::status_t copyFrom(oo::InterfacePtr<IStream> source, std::uint32_t count) override {
    return oo::safecallBoundary([&] {
      copyStream(oo::InterfacePtr<IStream>(this), std::move(source), count);
    });
  }
  // Never fails: a refused seek sets the fail flag, anything else clears the state.
  oo::status_t setPosition(std::uint32_t position) override {
    return oo::safecallBoundary([&] { seekTo(position); });
  }

 private:
  bool failed() const { return stream_->fail(); }

  void seekTo(std::uint32_t position) {
    seek([&] { return stream_->rdbuf()->pubseekpos(position, std::ios_base::in); });
  }

  template <class Seek>
  void seek(Seek&& doSeek) {
    if (!failed() && doSeek() == std::streampos(std::streamoff(-1))) {
      stream_->setstate(std::ios_base::failbit);
      return;
    }
    stream_->clear();
  }

  Stream* stream_;
  std::int32_t owns_;
};

}  // namespace wyx::io
