#include "wyx/io/stream.hpp"

namespace wyx::io {

const oo::interface_info_t& IStream::interfaceInfo() {
  // {AC13E5A1-D752-40E5-A683-2D96266E58C8}
  static const oo::interface_info_t info = {
      u"wyx::io::IStream", &info.guid, &oo::IInterface::interfaceInfo,
      {0xAC13E5A1, 0xD752, 0x40E5, {0xA6, 0x83, 0x2D, 0x96, 0x26, 0x6E, 0x58, 0xC8}}};
  return info;
}

}  // namespace wyx::io
