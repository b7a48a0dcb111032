// A connection point of the object model as the system's IConnectionPoint: a sink advised on it
// (a script host's or container's IDispatch) is wrapped as an object-model sink, so the object's
// events reach it through its IDispatch::Invoke.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class ConnectionPointBridge final : public ::IConnectionPoint {
 public:
  // `inner`, found on `container`, as a new point with one reference the caller owns.
  static ::IConnectionPoint* Expose(::IConnectionPointContainer& container,
                                    com::ComPtr<com::IConnectionPoint> inner);

  ConnectionPointBridge(const ConnectionPointBridge&) = delete;
  ConnectionPointBridge& operator=(const ConnectionPointBridge&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(::IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(::IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

 private:
  ConnectionPointBridge(::IConnectionPointContainer& container,
                        com::ComPtr<com::IConnectionPoint> inner);
  ~ConnectionPointBridge();

  ::IConnectionPointContainer& container_;  // holds a reference
  com::ComPtr<com::IConnectionPoint> inner_;
  LONG references_ = 1;
};

}  // namespace tarvik::platform::com_bridge
