#include "platform/com/windows/connection_bridge.h"

#include "platform/com/windows/bridge_values.h"

namespace tarvik::platform::com_bridge {

ConnectionPointBridge::ConnectionPointBridge(::IConnectionPointContainer& container,
                                             com::ComPtr<com::IConnectionPoint> inner)
    : container_(container), inner_(std::move(inner)) {
  container_.AddRef();
}

ConnectionPointBridge::~ConnectionPointBridge() {
  inner_.Reset();
  container_.Release();
}

::IConnectionPoint* ConnectionPointBridge::Expose(::IConnectionPointContainer& container,
                                                  com::ComPtr<com::IConnectionPoint> inner) {
  return new ConnectionPointBridge(container, std::move(inner));
}

HRESULT ConnectionPointBridge::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
  *object = static_cast<::IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

ULONG ConnectionPointBridge::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG ConnectionPointBridge::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ConnectionPointBridge::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  com::Guid events;
  const HRESULT status = inner_->GetConnectionInterface(&events);
  if (SUCCEEDED(status)) *iid = ToSystem(events);
  return status;
}

HRESULT ConnectionPointBridge::GetConnectionPointContainer(
    ::IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  container_.AddRef();
  *container = &container_;
  return S_OK;
}

HRESULT ConnectionPointBridge::Advise(::IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  *cookie = 0;
  ::IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  const com::ComPtr<com::IDispatch> inner_sink = Import(dispatch);
  dispatch->Release();
  std::uint32_t connection = 0;
  const HRESULT status = inner_->Advise(inner_sink.get(), &connection);
  if (SUCCEEDED(status)) *cookie = connection;
  return status;
}

HRESULT ConnectionPointBridge::Unadvise(DWORD cookie) {
  return inner_->Unadvise(cookie);
}

HRESULT ConnectionPointBridge::EnumConnections(IEnumConnections** connections) {
  if (connections != nullptr) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace tarvik::platform::com_bridge
