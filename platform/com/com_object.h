// ComObject<Interfaces...>: the reference counting and QueryInterface of a class that implements
// the listed interfaces, so that a class only writes its own members.
//
//   class Counter : public ComObject<IDispatch, IConnectionPointContainer> { ... };
//   ComPtr<Counter> counter = MakeObject<Counter>(arguments...);
//
// QueryInterface answers IUnknown, each listed interface and each of their base interfaces, plus
// whatever the class adds by overriding QueryExtraInterface (e.g. the IID of a dual interface it
// serves through IDispatch). Every live object holds a module lock (module_lock.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/com/module_lock.h"
#include "platform/com/unknown.h"

namespace tarvik::platform::com {

template <typename First, typename... Rest>
class ComObject : public First, public Rest... {
 public:
  HRESULT QueryInterface(const Guid& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    void* found = nullptr;
    if (iid == IUnknown::kIid) {
      found = Identity();
    } else if (!(FindIn<First>(iid, &found) || (FindIn<Rest>(iid, &found) || ...))) {
      found = QueryExtraInterface(iid);
    }
    if (found == nullptr) return E_NOINTERFACE;
    AddRef();
    *object = found;
    return S_OK;
  }
  std::uint32_t AddRef() override {
    return references_.fetch_add(1, std::memory_order_relaxed) + 1;
  }
  std::uint32_t Release() override {
    const std::uint32_t left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

  // The object's IUnknown pointer (its identity), without a reference added.
  IUnknown* Identity() { return static_cast<IUnknown*>(static_cast<First*>(this)); }

  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

 protected:
  ComObject() { LockModule(); }
  ~ComObject() override { UnlockModule(); }

  // Interfaces not among the template arguments: return the interface pointer (no reference
  // added; QueryInterface adds it), or nullptr.
  virtual void* QueryExtraInterface(const Guid& /*iid*/) { return nullptr; }

 private:
  // Finds `iid` among interface `I` and its bases; stores the pointer of that exact type.
  template <typename I>
  bool FindIn(const Guid& iid, void** found) {
    return FindAlong<I>(static_cast<I*>(this), iid, found);
  }
  template <typename I>
  static bool FindAlong(I* self, const Guid& iid, void** found) {
    if (iid == I::kIid) {
      *found = self;
      return true;
    }
    if constexpr (!std::is_same_v<typename I::Base, IUnknown>) {
      return FindAlong<typename I::Base>(self, iid, found);
    }
    return false;
  }

  std::atomic<std::uint32_t> references_{0};
};

// Creates an object of class `T` (a ComObject) and returns the first reference to it.
template <typename T, typename... Args>
ComPtr<T> MakeObject(Args&&... args) {
  return ComPtr<T>(new T(std::forward<Args>(args)...));
}

// A new object of class `T`, made with no arguments, as its IUnknown: the form a class factory
// (ServerClass::create) hands out.
template <typename T>
ComPtr<IUnknown> MakeInstance() {
  const ComPtr<T> object = MakeObject<T>();
  return ComPtr<IUnknown>(object->Identity());
}

}  // namespace tarvik::platform::com
