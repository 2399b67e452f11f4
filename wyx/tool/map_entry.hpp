// Looking a value up in a map that must hold it: blocks by name, above all.
#pragma once

#include <stdexcept>

namespace wyx::tool {

// Text of the runtime error raised by getMapEntry for an absent key.
inline constexpr char kMapEntryNotFound[] = "Map entry not found";

// Returns the value stored under `key`; never inserts. Throws
// std::runtime_error("Map entry not found") when the key is absent.
template <class Map>
typename Map::mapped_type& getMapEntry(Map& map, const typename Map::key_type& key) {
  auto found = map.find(key);
  if (found == map.end()) throw std::runtime_error(kMapEntryNotFound);
  return found->second;
}

template <class Map>
const typename Map::mapped_type& getMapEntry(const Map& map, const typename Map::key_type& key) {
  auto found = map.find(key);
  if (found == map.end()) throw std::runtime_error(kMapEntryNotFound);
  return found->second;
}

}  // namespace wyx::tool
