// Writing a set of header files so that a build never sees a broken one:
// the generator's bytes are compared with each existing header as they come,
// an unchanged header is never touched, and a changed one is written to a
// temporary file beside it that replaces it only when every header of the
// set is complete. A failure anywhere leaves every header as it was.
#pragma once

#include <cstdint>
#include <exception>
#include <vector>

#include "qirt/header_size.hpp"
#include "wyx/io/stream.hpp"
#include "wyx/oo/strings.hpp"
#include "wyx/platform/platform.hpp"

namespace qirt {

class HeaderOutput;

class HeaderFileSet {
 public:
  // Takes the lock that keeps other korven runs out of `directory` (which
  // ends in the path delimiter) until this set is gone, and opens one output
  // for each name. All outputs together accept at most `limit.maxBytes`; a
  // write beyond fails with the limit's refusal as its cause.
  //
  // Raises wyx::io::EStreamOpenError when the directory cannot be opened
  // (missing, not a directory) or a header exists but could not be replaced
  // by a writer (a directory, no permission).
  HeaderFileSet(const wyx::UnicodeString& directory, const std::vector<const char*>& fileNames,
                const size_limit_t& limit);
  // Removes every temporary file that is still there; headers not yet
  // committed stay as they were.
  ~HeaderFileSet();
  HeaderFileSet(const HeaderFileSet&) = delete;
  HeaderFileSet& operator=(const HeaderFileSet&) = delete;

  // The stream for header `index`, in the order of the names. Its writes
  // are safecall operations; a failed write (a full disk, the byte limit, a
  // temporary file that cannot be created) returns a nonzero status, after
  // which the set can only be destroyed.
  wyx::io::IStream& output(std::size_t index);

  // The exception that stopped the first failed write or completion of an
  // output, or null: EHeaderSizeLimit past the limit, EStreamOpenError when
  // a temporary file cannot be created, a stream error otherwise.
  std::exception_ptr failure() const;

  // Completes every output and puts each changed header in place, all of
  // them or, when a rename fails, none (the ones already renamed are put
  // back). Raises ESafecallException when completing an output fails like a
  // write (reading the old header, creating, writing or closing the
  // temporary file; failure() tells why), and EStreamOpenError when the
  // headers cannot be put in place.
  void commit();

 private:
  wyx::platform::DirectoryLock lock_;
  wyx::platform::native_path_t directory_;
  size_limit_t limit_;
  std::uint64_t budget_;
  std::vector<wyx::oo::InterfacePtr<HeaderOutput>> outputs_;
};

}  // namespace qirt
