#pragma once

#include <cstdint>

#include "wyx/io/stream.hpp"

namespace wyx::io {

// Size of the chunks in which streams are copied.
constexpr std::uint32_t kCopyChunkSize = 4096;

// Copies `count` bytes from the source's position to the destination's in
// chunks of kCopyChunkSize (readBuffer then writeBuffer); raises
// ESafecallException when either side fails.
void copyStream(oo::InterfacePtr<IStream> destination, oo::InterfacePtr<IStream> source,
                std::uint32_t count);

}  // namespace wyx::io
