#include "wyx/oo/interface.hpp"

namespace wyx::oo {

const interface_info_t& unknownInterfaceInfo() {
  static const interface_info_t info = {u"::IUnknown", &info.guid, nullptr, kIidUnknown};
  return info;
}

// IInterface shares IUnknown's identifier: it adds nothing to the contract.
const interface_info_t& IInterface::interfaceInfo() {
  static const interface_info_t info = {u"wyx::oo::IInterface", &info.guid,
                                        &unknownInterfaceInfo, kIidUnknown};
  return info;
}

status_t queryInterfaceLookup(const guid_t& iid, void** out, const interface_entry_t* entries) {
  *out = nullptr;
  for (const interface_entry_t* entry = entries; entry->info != nullptr; ++entry) {
    for (const interface_info_t* info = entry->info; info != nullptr;
         info = info->base ? &info->base() : nullptr) {
      if (*info->id == iid) {
        *out = entry->object;
        entry->object->AddRef();
        return kStatusOk;
      }
    }
  }
  return kStatusNoInterface;
}

}  // namespace wyx::oo
