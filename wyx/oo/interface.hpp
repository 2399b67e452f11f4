// Reference-counted interfaces with static identity records, the table-driven
// QueryInterface look-up, and InterfacePtr, the pointer that holds one counted
// reference.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

#include "wyx/oo/guid.hpp"
#include "wyx/oo/status.hpp"

// The base of every interface, laid out like the platform's component-object
// base: QueryInterface, AddRef, Release in that slot order. It lives in the
// global namespace because its identity is the platform's own.
struct IUnknown {
  // Looks for `iid` and, when answered, stores an added reference in `*out`
  // and returns kStatusOk; otherwise stores null and returns kStatusNoInterface.
  virtual wyx::oo::status_t QueryInterface(const wyx::oo::guid_t& iid, void** out) = 0;
  // Returns the new reference count.
  virtual std::int32_t AddRef() = 0;
  // Returns the new reference count; the object destroys itself at 0.
  virtual std::int32_t Release() = 0;

 protected:
  // Counted objects are destroyed by Release, never by delete through an interface.
  ~IUnknown() = default;
};

namespace wyx::oo {

// One static record per interface and per class that has an identity.
struct interface_info_t {
  const char16_t* name;                    // fully qualified name, for information only
  const guid_t* id;                        // points at `guid` below
  const interface_info_t& (*base)();       // the base interface's record; null for none
  guid_t guid;
};

// The identity record of IUnknown itself ("::IUnknown").
const interface_info_t& unknownInterfaceInfo();

struct IInterface : public IUnknown {
  static const interface_info_t& interfaceInfo();

 protected:
  ~IInterface() = default;
};

// One pair of a QueryInterface list: the record, and the pointer handed out
// for any identifier on that record's base chain.
struct interface_entry_t {
  const interface_info_t* info;
  IUnknown* object;
};

// Walks `entries` (ended by an entry with a null record) in order, each record
// with its base chain, and answers the first whose identifier equals `iid`.
status_t queryInterfaceLookup(const guid_t& iid, void** out, const interface_entry_t* entries);

// The counter behind AddRef/Release. Starts at 0: the first InterfacePtr to
// take the object adds the first reference.
class RefCounter {
 public:
  std::int32_t increment() { return count_.fetch_add(1) + 1; }
  std::int32_t decrement() { return count_.fetch_sub(1) - 1; }
  std::int32_t value() const { return count_.load(); }

 private:
  std::atomic<std::int32_t> count_{0};
};

// Implements AddRef and Release of `Interface` for `Derived`, which is
// deleted as itself when the count returns to 0. Derived classes keep their
// destructor private or protected (befriend RefCounted) so that nothing else
// deletes them.
template <class Derived, class Interface>
class RefCounted : public Interface {
 public:
  std::int32_t AddRef() override { return refs_.increment(); }
  std::int32_t Release() override {
    std::int32_t count = refs_.decrement();
    if (count == 0) delete static_cast<Derived*>(this);
    return count;
  }

 protected:
  RefCounted() = default;
  ~RefCounted() = default;

 private:
  RefCounter refs_;
};

// Holds one counted reference to a T (any interface with a static
// interfaceInfo()), or null.
template <class T>
class InterfacePtr {
 public:
  InterfacePtr() = default;
  InterfacePtr(std::nullptr_t) {}
  // Takes a new reference on a non-null pointer.
  InterfacePtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  InterfacePtr(const InterfacePtr& other) : InterfacePtr(other.p_) {}
  InterfacePtr(InterfacePtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  // Upcast from a pointer to a class derived from T: no QueryInterface needed.
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  InterfacePtr(const InterfacePtr<U>& other) : InterfacePtr(static_cast<T*>(other.get())) {}
  ~InterfacePtr() { reset(); }

  InterfacePtr& operator=(InterfacePtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  // Conversion to another interface through QueryInterface: null when the
  // source is null or does not answer T's identifier. Never throws.
  template <class U>
  static InterfacePtr queryFrom(const InterfacePtr<U>& source) {
    InterfacePtr result;
    if (source) source->QueryInterface(*T::interfaceInfo().id, result.outPtr());
    return result;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // Releases the reference held, if any, and becomes null.
  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

  // Storage for an out-parameter of QueryInterface: releases what is held
  // first, so the pointer it receives (already counted) is adopted.
  void** outPtr() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }

 private:
  T* p_ = nullptr;
};

template <class T, class U>
bool operator==(const InterfacePtr<T>& a, const InterfacePtr<U>& b) {
  return static_cast<const void*>(a.get()) == static_cast<const void*>(b.get());
}

}  // namespace wyx::oo
