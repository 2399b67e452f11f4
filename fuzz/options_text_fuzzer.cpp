// Converts arbitrary bytes as an options file's text form. Any outcome but a
// conversion or an error of the Exception family is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "persist/text_converter.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/interface.hpp"
#include "wyx/oo/safecall.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> input(new wyx::io::MemoryStream());
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> output(new wyx::io::MemoryStream());
  wyx::oo::checkStatus(input->writeBuffer(data, static_cast<std::uint32_t>(size)));
  wyx::oo::checkStatus(input->setPosition(0));
  try {
    persist::convertOptionsTextToBinary(*input, *output);
  } catch (const wyx::oo::Exception&) {
    return 0;
  }
  // A finished conversion starts with the signature.
  if (output->getSize() < 4) std::abort();
  return 0;
}
