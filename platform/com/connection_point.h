// Outgoing events. An object that fires events implements IConnectionPointContainer and keeps one
// ConnectionPoint per event interface; a host hands its sink (an IDispatch that understands the
// event interface's DISPIDs) to Advise and gets a cookie back for Unadvise. Firing an event calls
// Invoke(DISPID, DISPATCH_METHOD, args) on every sink, in the order they were advised.
//
//   class Widget : public DispatchObject<Widget, IConnectionPointContainer> {
//     HRESULT FindConnectionPoint(const Guid& iid, IConnectionPoint** point) override {
//       return events_.Find(iid, point);
//     }
//     void Ring() { events_.Fire(1); }
//     ConnectionPoint events_{*this, kWidgetEvents};
//   };
//
// A host that has no sink class of its own uses EventSink, which hands each event to a function.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/dispatch.h"

namespace tarvik::platform::com {

class IConnectionPointContainer;

class IConnectionPoint : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{B196B286-BAB4-101A-B69C-00AA00341D07}");
  using Base = IUnknown;

  // The IID of the event interface this point fires.
  virtual HRESULT GetConnectionInterface(Guid* iid) = 0;
  // The object that owns this point.
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
  // Connects `sink`, which must offer the event interface or IDispatch (CONNECT_E_CANNOTCONNECT
  // otherwise); *cookie (never 0) names the connection.
  virtual HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) = 0;
  // Drops the connection `cookie`; CONNECT_E_NOCONNECTION when there is none.
  virtual HRESULT Unadvise(std::uint32_t cookie) = 0;
};

class IConnectionPointContainer : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{B196B284-BAB4-101A-B69C-00AA00341D07}");
  using Base = IUnknown;

  // The connection point for event interface `iid`; CONNECT_E_NOCONNECTION when the object fires
  // no such events.
  virtual HRESULT FindConnectionPoint(const Guid& iid, IConnectionPoint** point) = 0;
};

// The connection point of one event interface, kept as a member of its owner: it shares the
// owner's reference count (holding the point keeps the owner alive) and goes away with it.
class ConnectionPoint final : public IConnectionPoint {
 public:
  // `owner` is the object this point is a member of; `events` the event interface.
  ConnectionPoint(IUnknown& owner, const TypeInfo& events);
  ~ConnectionPoint() override = default;
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  HRESULT QueryInterface(const Guid& iid, void** object) override;
  std::uint32_t AddRef() override { return owner_.AddRef(); }
  std::uint32_t Release() override { return owner_.Release(); }
  HRESULT GetConnectionInterface(Guid* iid) override;
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) override;
  HRESULT Unadvise(std::uint32_t cookie) override;

  // IConnectionPointContainer::FindConnectionPoint for an owner with this one point.
  HRESULT Find(const Guid& iid, IConnectionPoint** point);

  // Fires event `id` at every sink connected when the call begins. A sink may Unadvise (itself or
  // another) while it runs. Failures of sinks are ignored: an event has no result. Returns the
  // number of sinks called.
  std::size_t Fire(DispId id, std::span<const Variant> args = {});

  std::size_t sink_count() const;
  // Drops every connection (an owner that is shutting down stops its events).
  void DisconnectAll();

 private:
  struct Connection {
    std::uint32_t cookie;
    ComPtr<IDispatch> sink;
  };

  IUnknown& owner_;
  const TypeInfo& events_;
  mutable std::mutex mutex_;  // guards the two fields below; never held while a sink runs
  std::vector<Connection> connections_;
  std::uint32_t next_cookie_ = 1;
};

// A sink that hands every event to `handler`: the event's description in the event interface and
// its arguments. It answers QueryInterface for the event interface's IID as an IDispatch.
class EventSink final : public ComObject<IDispatch> {
 public:
  using Handler = std::function<void(const MemberInfo& event, std::span<const Variant> args)>;

  EventSink(const TypeInfo& events, Handler handler);

  const TypeInfo* GetTypeInfo() override { return &events_; }
  HRESULT GetIDsOfNames(std::string_view name, DispId* id) override;
  HRESULT Invoke(DispId id, InvokeFlags flags, std::span<const Variant> args, Variant* result,
                 InvokeError* error) override;

 protected:
  void* QueryExtraInterface(const Guid& iid) override;

 private:
  const TypeInfo& events_;
  Handler handler_;
};

}  // namespace tarvik::platform::com
