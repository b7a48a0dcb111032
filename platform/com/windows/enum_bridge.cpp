#include "platform/com/windows/enum_bridge.h"

#include <vector>

#include "platform/com/windows/bridge_values.h"

namespace tarvik::platform::com_bridge {

EnumBridge::EnumBridge(com::ComPtr<com::IEnumVariant> inner) : inner_(std::move(inner)) {
  com::LockModule();
}

EnumBridge::~EnumBridge() {
  com::UnlockModule();
}

::IEnumVARIANT* EnumBridge::Expose(com::ComPtr<com::IEnumVariant> inner) {
  return new EnumBridge(std::move(inner));
}

HRESULT EnumBridge::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IEnumVARIANT) return E_NOINTERFACE;
  *object = static_cast<::IEnumVARIANT*>(this);
  AddRef();
  return S_OK;
}

ULONG EnumBridge::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG EnumBridge::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT EnumBridge::Next(ULONG count, VARIANT* items, ULONG* fetched) {
  if (items == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
  std::vector<com::Variant> values(count);
  std::uint32_t got = 0;
  const HRESULT status = inner_->Next(count, values.data(), &got);
  if (FAILED(status)) return status;
  for (std::uint32_t i = 0; i < got; ++i) ToSystem(values[i], &items[i]);
  if (fetched != nullptr) *fetched = got;
  return status;
}

HRESULT EnumBridge::Skip(ULONG count) {
  return inner_->Skip(count);
}

HRESULT EnumBridge::Reset() {
  return inner_->Reset();
}

HRESULT EnumBridge::Clone(::IEnumVARIANT** copy) {
  if (copy == nullptr) return E_POINTER;
  *copy = nullptr;
  com::IEnumVariant* inner_copy = nullptr;
  const HRESULT status = inner_->Clone(&inner_copy);
  if (FAILED(status)) return status;
  *copy = Expose(com::ComPtr<com::IEnumVariant>::Adopt(inner_copy));
  return S_OK;
}

}  // namespace tarvik::platform::com_bridge
