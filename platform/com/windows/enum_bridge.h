// An enumerator of the object model as the system's IEnumVARIANT, the object a script's
// "For Each" walks.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class EnumBridge final : public ::IEnumVARIANT {
 public:
  // `inner` as a new enumerator with one reference the caller owns.
  static ::IEnumVARIANT* Expose(com::ComPtr<com::IEnumVariant> inner);

  EnumBridge(const EnumBridge&) = delete;
  EnumBridge& operator=(const EnumBridge&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(::IEnumVARIANT** copy) override;

 private:
  explicit EnumBridge(com::ComPtr<com::IEnumVariant> inner);
  ~EnumBridge();

  com::ComPtr<com::IEnumVariant> inner_;
  LONG references_ = 1;
};

}  // namespace tarvik::platform::com_bridge
