// The root of every object interface: reference counting and interface queries, and ComPtr, the
// smart pointer that holds one reference.
//
// Rules, as in the object model this stands in for:
// - An interface is an abstract class derived from IUnknown (directly or through one base
//   interface, named `Base`), with a static `kIid` naming it.
// - QueryInterface(iid, &p) stores in p a pointer of exactly the interface type `iid` names, with
//   one reference added, or returns E_NOINTERFACE and stores nullptr. Asking any interface of an
//   object for IUnknown gives the same pointer: the object's identity.
// - AddRef/Release count references; the object deletes itself at the last Release. The counts
//   are atomic, so references may be taken and dropped on any thread.
// Interfaces cross shared-library boundaries as plain C++ virtual calls; a server library and its
// host are built by the same compiler from these headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/com/guid.h"
#include "platform/com/status.h"

namespace tarvik::platform::com {

class IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{00000000-0000-0000-C000-000000000046}");

  virtual HRESULT QueryInterface(const Guid& iid, void** object) = 0;
  virtual std::uint32_t AddRef() = 0;
  virtual std::uint32_t Release() = 0;

 protected:
  // Objects are destroyed only by their last Release.
  virtual ~IUnknown() = default;
};

// Holds one reference to an interface pointer (or nothing).
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT: implicit, like a raw null pointer
  // Shares `pointer`: adds a reference of its own.
  explicit ComPtr(T* pointer) : pointer_(pointer) {
    if (pointer_ != nullptr) pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  // Up-casts, e.g. ComPtr<IDispatch> from ComPtr<MyObject>.
  template <typename U>
  requires std::is_convertible_v<U*, T*> ComPtr(const ComPtr<U>& other)
      : ComPtr(static_cast<T*>(other.get())) {}  // NOLINT
  template <typename U>
  requires std::is_convertible_v<U*, T*> ComPtr(ComPtr<U>&& other)
  noexcept : pointer_(other.Detach()) {}  // NOLINT
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }

  // Takes over a reference the caller already owns (such as one returned by QueryInterface).
  static ComPtr Adopt(T* pointer) {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }
  // Gives up the reference without releasing it; the caller owns it now.
  T* Detach() { return std::exchange(pointer_, nullptr); }
  void Reset() {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  T& operator*() const { return *pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Queries the object for interface `U`; *result is null unless S_OK.
  template <typename U>
  HRESULT As(ComPtr<U>* result) const {
    if (result == nullptr) return E_POINTER;
    result->Reset();
    if (pointer_ == nullptr) return E_POINTER;
    void* raw = nullptr;
    const HRESULT status = pointer_->QueryInterface(U::kIid, &raw);
    if (Succeeded(status)) *result = ComPtr<U>::Adopt(static_cast<U*>(raw));
    return status;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.pointer_ == b.pointer_; }

 private:
  T* pointer_ = nullptr;
};

// The identity of the object behind `object`: its IUnknown pointer (null for null).
inline ComPtr<IUnknown> IdentityOf(IUnknown* object) {
  ComPtr<IUnknown> identity;
  if (object != nullptr) ComPtr<IUnknown>(object).As(&identity);
  return identity;
}

}  // namespace tarvik::platform::com
