// Loads arbitrary bytes as an options file (either form) into fresh settings.
// Any outcome but a load or an error of the Exception family is a finding,
// and the settings must stay usable either way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "persist/persistence_loader.hpp"
#include "qirt/format_header_settings.hpp"
#include "wyx/io/memory_stream.hpp"
#include "wyx/oo/exception.hpp"
#include "wyx/oo/interface.hpp"
#include "wyx/oo/safecall.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  wyx::oo::InterfacePtr<wyx::io::MemoryStream> input(new wyx::io::MemoryStream());
  wyx::oo::checkStatus(input->writeBuffer(data, static_cast<std::uint32_t>(size)));
  wyx::oo::checkStatus(input->setPosition(0));
  qirt::TFormatHeaderSettings settings;
  try {
    persist::loadPersistentFromStream(*input, &settings);
  } catch (const wyx::oo::Exception&) {
  }
  // Every name read costs the file at least two bytes.
  if (settings.getFormatNames().count() > 14 + size / 2) std::abort();
  return 0;
}
