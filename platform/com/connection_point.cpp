#include "platform/com/connection_point.h"

#include <algorithm>
#include <exception>
#include <string>

namespace tarvik::platform::com {

ConnectionPoint::ConnectionPoint(IUnknown& owner, const TypeInfo& events)
    : owner_(owner), events_(events) {}

HRESULT ConnectionPoint::QueryInterface(const Guid& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IUnknown::kIid && iid != IConnectionPoint::kIid) return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionInterface(Guid* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = events_.guid;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  return owner_.QueryInterface(IConnectionPointContainer::kIid,
                               reinterpret_cast<void**>(container));
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, std::uint32_t* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  void* raw = nullptr;
  if (Failed(sink->QueryInterface(events_.guid, &raw)) &&
      Failed(sink->QueryInterface(IDispatch::kIid, &raw))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  ComPtr<IDispatch> dispatch = ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(raw));
  std::lock_guard<std::mutex> lock(mutex_);
  *cookie = next_cookie_++;
  if (next_cookie_ == 0) next_cookie_ = 1;  // 0 never names a connection
  connections_.push_back({*cookie, std::move(dispatch)});
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(std::uint32_t cookie) {
  ComPtr<IDispatch> released;  // released after the lock: a sink's destructor may call back
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = std::find_if(connections_.begin(), connections_.end(),
                                  [cookie](const Connection& c) { return c.cookie == cookie; });
  if (found == connections_.end()) return CONNECT_E_NOCONNECTION;
  released = std::move(found->sink);
  connections_.erase(found);
  return S_OK;
}

HRESULT ConnectionPoint::Find(const Guid& iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (iid != events_.guid) return CONNECT_E_NOCONNECTION;
  *point = this;
  AddRef();
  return S_OK;
}

std::size_t ConnectionPoint::Fire(DispId id, std::span<const Variant> args) {
  std::vector<ComPtr<IDispatch>> sinks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Connection& connection : connections_) sinks.push_back(connection.sink);
  }
  for (const ComPtr<IDispatch>& sink : sinks) {
    sink->Invoke(id, DISPATCH_METHOD, args, nullptr, nullptr);
  }
  return sinks.size();
}

std::size_t ConnectionPoint::sink_count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connections_.size();
}

void ConnectionPoint::DisconnectAll() {
  std::vector<Connection> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dropped.swap(connections_);
  }
}

EventSink::EventSink(const TypeInfo& events, Handler handler)
    : events_(events), handler_(std::move(handler)) {}

HRESULT EventSink::GetIDsOfNames(std::string_view name, DispId* id) {
  if (id == nullptr) return E_POINTER;
  const MemberInfo* event = events_.FindMember(name);
  *id = event != nullptr ? event->id : DISPID_UNKNOWN;
  return event != nullptr ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT EventSink::Invoke(DispId id, InvokeFlags /*flags*/, std::span<const Variant> args,
                          Variant* /*result*/, InvokeError* error) {
  const MemberInfo* event = events_.FindMember(id);
  if (event == nullptr) {
    if (error != nullptr) {
      error->source = std::string(events_.name);
      error->description =
          "no event with DISPID " + StatusHex(id) + " in " + std::string(events_.name);
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  if (!handler_) return S_OK;
  try {
    handler_(*event, args);
  } catch (const std::exception& failure) {  // a host's handler must not unwind into the source
    if (error != nullptr) {
      error->source = std::string(events_.name);
      error->description = std::string(event->name) + " handler failed: " + failure.what();
    }
    return DISP_E_EXCEPTION;
  } catch (...) {
    return DISP_E_EXCEPTION;
  }
  return S_OK;
}

void* EventSink::QueryExtraInterface(const Guid& iid) {
  return iid == events_.guid ? static_cast<IDispatch*>(this) : nullptr;
}

}  // namespace tarvik::platform::com
