#include "wyx/io/stream.hpp"

namespace wyx::io {

const oo::interface_info_t& IStream::interfaceInfo() {
  // {AC13E5A1-D752-40E5-A683-2D96266E58C8}
  static const oo::interface_info_t info = {
      u"wyx::io::IStream", &info.guid, &oo::IInterface::interfaceInfo,
      {0xAC13E5A1, 0xD752, 0x40E5, {0xA6, 0x83, 0x2D, 0x96, 0x26, 0x6E, 0x58, 0xC8}}};
  return info;
}

oo::status_t queryStreamInterface(IStream* self, const oo::interface_info_t& own,
                                  const oo::guid_t& iid, void** out) {
  const oo::interface_entry_t entries[] = {
      {&own, self}, {&IStream::interfaceInfo(), self}, {nullptr, nullptr}};
  return oo::queryInterfaceLookup(iid, out, entries);
}

}  // namespace wyx::io
