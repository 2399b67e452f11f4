// Internal to block parsing: reads a stream in pieces into a window that can
// guarantee a minimum look-ahead (an escape pair), whatever the sizes the
// stream's reads happen to deliver. Not part of the public interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "wyx/io/stream.hpp"

namespace wyx::tool::detail {

class PieceReader {
 public:
  // Bytes requested from the stream per read.
  static constexpr std::size_t kPieceSize = 16384;

  // Reads `stream` from its current position. `lookahead` is the largest
  // count ensure() will be asked for.
  PieceReader(io::IStream& stream, std::size_t lookahead);

  // The unconsumed bytes [cursor(), end()). The text ends at the stream's
  // end or at its first NUL byte, which is never exposed.
  const char* cursor() const { return buffer_.get() + position_; }
  const char* end() const { return buffer_.get() + length_; }
  std::size_t available() const { return length_ - position_; }

  // Makes at least `count` (<= lookahead) bytes available unless the text
  // ends first; may move the window, invalidating earlier pointers. Returns
  // whether `count` bytes are available.
  bool ensure(std::size_t count) { return available() >= count || refill(count); }

  // Consumes the bytes up to `to`, a pointer into [cursor(), end()].
  void advanceTo(const char* to) { position_ = static_cast<std::size_t>(to - buffer_.get()); }

 private:
  bool refill(std::size_t count);
  void readPiece();

  io::IStream& stream_;
  bool ended_ = false;
  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  std::size_t position_ = 0;
  std::size_t length_ = 0;
};

}  // namespace wyx::tool::detail
