// What only the tests of qirt/ use: texts put in place through a
// HeaderFileSet, for the tests of the write path, and plain oracles of the
// parameter lists, which the generator builds item by item.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qirt/header_files.hpp"
#include "qirt/parameter_lists.hpp"
#include "wyx/oo/safecall.hpp"

namespace qirt::testing {

struct header_file_t {
  const char* fileName;
  std::string_view text;
};

// Writes each text in pieces of `piece` bytes (to cross the comparison's
// own chunks at odd places), then commits.
inline void installHeaderFiles(const wyx::UnicodeString& directory,
                               const std::vector<header_file_t>& headers,
                               std::uint64_t maxBytes = std::uint64_t{1} << 30,
                               std::size_t piece = 7) {
  std::vector<const char*> names;
  for (const header_file_t& header : headers) names.push_back(header.fileName);
  HeaderFileSet files(directory, names, size_limit_t{maxBytes});
  for (std::size_t i = 0; i < headers.size(); ++i) {
    std::string_view text = headers[i].text;
    for (std::size_t at = 0; at < text.size(); at += piece) {
      const std::size_t n = std::min(piece, text.size() - at);
      wyx::oo::checkStatus(
          files.output(i).writeBuffer(text.data() + at, static_cast<std::uint32_t>(n)));
    }
  }
  files.commit();
}

// Number of decimal digits of `value` (1 for 0).
std::uint32_t decimalDigits(std::uint64_t value);
// The whole text of `list` for n items, built in one go.
std::string listText(const IndexedList& list, std::uint32_t n);
// TYPELIST_TYPENAME: "typename T0, ..., typename T<n-1>"; empty for 0.
std::string typenameList(std::uint32_t n);
// FUNCPARAM_TYPENAME: "template <" + typenameList(n) + ">"; empty for 0.
std::string templateHead(std::uint32_t n);

}  // namespace qirt::testing
