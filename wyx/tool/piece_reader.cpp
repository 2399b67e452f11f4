#include "wyx/tool/piece_reader.hpp"

#include <cstring>

namespace wyx::tool::detail {

PieceReader::PieceReader(io::IStream& stream, std::size_t lookahead)
    : stream_(stream),
      capacity_(kPieceSize + lookahead),
      buffer_(new char[kPieceSize + lookahead]) {}

bool PieceReader::refill(std::size_t count) {
  if (ended_) return false;
  // Keep only the unconsumed tail, at the front, and read behind it.
  std::memmove(buffer_.get(), cursor(), available());
  length_ -= position_;
  position_ = 0;
  while (available() < count && !ended_) readPiece();
  return available() >= count;
}

void PieceReader::readPiece() {
  char* into = buffer_.get() + length_;
  const auto room = static_cast<std::uint32_t>(capacity_ - length_);
  std::uint32_t got = stream_.read(into, room);
  if (got > room) got = room;
  if (got == 0) {
    ended_ = true;
    return;
  }
  if (const void* nul = std::memchr(into, '\0', got)) {
    // Everything from the first NUL on is not part of the text.
    length_ += static_cast<std::size_t>(static_cast<const char*>(nul) - into);
    ended_ = true;
    return;
  }
  length_ += got;
}

}  // namespace wyx::tool::detail
