// Loading an options file into a loadable object through the per-thread
// TPersistenceWrapper, whose property "Persistent" refers to the target.
#pragma once

#include "persist/named_object.hpp"
#include "wyx/oo/strings.hpp"

namespace wyx::io {
class IStream;
}

namespace persist {

// The object that an options file describes. Its "Persistent" entry refers
// (non-owning) to the object being loaded.
class TPersistenceWrapper : public TNamedObject {
 public:
  static const property_table_t& classProperties();
  const property_table_t& properties() const override { return classProperties(); }

  TLoadable* getPersistent() const { return persistent_; }
  // Stores the reference and renames the wrapper to the referenced object's
  // class name, or to the empty name when `target` is null.
  void setPersistent(TLoadable* target);

 private:
  TLoadable* persistent_ = nullptr;
};

// This thread's wrapper, created on first use and kept until the process
// ends (a thread that ends leaves its wrapper behind). It keeps its last
// reference and name between loads; nothing should use them after a load
// returns. Raises std::bad_alloc when it cannot be created.
TPersistenceWrapper& persistenceWrapper();

// Reads the options file `fileName` (text or binary form) into `target`,
// which must stay alive for the call. Throws the wyx::oo::Exception family:
// EFOpenError, EReadError, EParserError, EConvertError, EClassNotFound,
// EComponentError. Records of a binary file that precede a failing record
// stay applied; a text file with a syntax error changes nothing.
void LoadPersistentFromFile(wyx::UnicodeString fileName, TLoadable* target);

// The same from an open stream positioned at the start of the file's bytes.
void loadPersistentFromStream(wyx::io::IStream& source, TLoadable* target);

}  // namespace persist
