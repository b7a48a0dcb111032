// ServerObject: an object of the object model (platform/com) as a real COM object, the form in
// which the control and the objects it returns reach script hosts and compiled clients.
//
// It answers:
//   - IUnknown and IDispatch, and the IID of the dispatched dual interface, all on one pointer
//     whose vtable is IDispatch's seven functions followed by the dual interface's slots
//     (dual_slots.h), so that early-bound callers reach every member through the vtable;
//   - IDispatch::Invoke with VARIANT arguments (right to left, by value or by reference), the
//     put's named argument, and DISPID_NEWENUM as well as the collection's own enumerator member;
//   - IProvideClassInfo and GetTypeInfo from the type library embedded in this module;
//   - IConnectionPointContainer when the object fires events (a sink advised on it is called
//     through its IDispatch), and, when the object can be placed on a container's site, the
//     faces a form host needs (ole_placement.h);
//   - IObjectSafety: safe for scripting and for initialisation.
// Apartment threading: the object is called on the thread that made it.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class OlePlacement;
class ServerObject;

// The interface pointer of the dispatch interface: a vtable, then its object.
struct DispatchFace {
  const void* const* vtable;
  ServerObject* owner;
};

class ServerObject final : public ::IConnectionPointContainer,
                           public ::IProvideClassInfo,
                           public ::IObjectSafety {
 public:
  // `inner` as a real object: its IDispatch pointer, with one reference the caller owns.
  static ::IDispatch* Expose(com::ComPtr<com::IDispatch> inner);
  // The object-model object `object` stands for, when it is a ServerObject; else null.
  static com::ComPtr<com::IDispatch> InnerOf(::IUnknown* object);
  // The ServerObject whose dispatch interface pointer is `face`.
  static ServerObject& OwnerOf(void* face) { return *static_cast<DispatchFace*>(face)->owner; }

  ServerObject(const ServerObject&) = delete;
  ServerObject& operator=(const ServerObject&) = delete;

  // IUnknown, shared by every interface of the object.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch, reached through the dispatch face.
  HRESULT GetTypeInfoCount(UINT* count);
  HRESULT GetTypeInfo(UINT index, ITypeInfo** type);
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
  HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                 UINT* bad_argument);
  // Calls member `id` with `args` in parameter order, left to right (a put's new value last):
  // the work of Invoke and of every dual-interface slot. `bad_argument` is a left-to-right index.
  HRESULT Call(DISPID id, WORD flags, const VARIANT* args, UINT count, VARIANT* result,
               EXCEPINFO* exception, UINT* bad_argument);

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, ::IConnectionPoint** point) override;
  // IProvideClassInfo
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** type) override;
  // IObjectSafety
  HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                      DWORD* enabled) override;
  HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask,
                                                      DWORD enabled) override;

  com::IDispatch& inner() { return *inner_; }

 private:
  explicit ServerObject(com::ComPtr<com::IDispatch> inner);
  ~ServerObject();

  // The DISPID of the member that returns the object's enumerator; DISPID_UNKNOWN when none.
  DISPID EnumeratorMember() const;

  DispatchFace face_;
  com::ComPtr<com::IDispatch> inner_;
  OlePlacement* placement_;  // the IOleObject face, when the inner object can be placed
  LONG references_ = 1;
};

}  // namespace tarvik::platform::com_bridge
