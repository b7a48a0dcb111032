// Creating registered classes through the system's COM (activation.h): the system finds and loads
// the server; the object it returns is seen through a ClientDispatch. The COM library is
// initialised for the calling thread (an apartment) on first use.
#include "platform/com/activation.h"

#include "platform/com/windows/client_dispatch.h"
#include "platform/com/windows/wide_text.h"

namespace tarvik::platform::com {

namespace {

using com_bridge::FromSystem;
using com_bridge::ToSystem;
using com_bridge::Wide;

void EnterApartment() {
  thread_local const HRESULT status = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)status;  // S_FALSE or RPC_E_CHANGED_MODE: the thread already has its apartment
}

void Explain(std::string* detail, const std::string& text) {
  if (detail != nullptr) *detail = text;
}

}  // namespace

HRESULT CLSIDFromProgID(std::string_view prog_id, Guid* clsid, std::string* detail) {
  if (clsid == nullptr) return E_POINTER;
  EnterApartment();
  GUID found;
  if (FAILED(::CLSIDFromProgID(Wide(prog_id).c_str(), &found))) {
    Explain(detail, "the ProgID " + std::string(prog_id) + " is not registered");
    return CO_E_CLASSSTRING;
  }
  *clsid = FromSystem(found);
  return S_OK;
}

HRESULT CLSIDFromString(std::string_view text, Guid* clsid, std::string* detail) {
  if (clsid == nullptr) return E_POINTER;
  if (text.empty() || text.front() != '{') return CLSIDFromProgID(text, clsid, detail);
  const std::optional<Guid> parsed = Guid::Parse(text);
  if (!parsed) {
    Explain(detail, "malformed class identifier " + std::string(text));
    return CO_E_CLASSSTRING;
  }
  *clsid = *parsed;
  return S_OK;
}

// Class objects stay the system's: nothing above asks for one, and an object-model factory would
// have to stand for a system one in every call.
HRESULT CoGetClassObject(const Guid& clsid, const Guid&, void** object, std::string* detail) {
  if (object != nullptr) *object = nullptr;
  Explain(detail, "class objects of " + clsid.ToString() + " are not offered to programs");
  return E_NOTIMPL;
}

HRESULT CoCreateInstance(const Guid& clsid, IUnknown* outer, const Guid& iid, void** object,
                         std::string* detail) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  EnterApartment();
  ::IDispatch* made = nullptr;
  const HRESULT status = ::CoCreateInstance(ToSystem(clsid), nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IDispatch, reinterpret_cast<void**>(&made));
  if (FAILED(status)) {
    Explain(detail,
            "the system could not create " + clsid.ToString() + " (" + StatusHex(status) + ")");
    return status;
  }
  const ComPtr<IDispatch> wrapped = com_bridge::ClientDispatch::Wrap(made);
  made->Release();
  return wrapped->QueryInterface(iid, object);
}

void CoFreeUnusedLibraries() {
  ::CoFreeUnusedLibraries();
}

HRESULT CreateObject(std::string_view class_name, ComPtr<IDispatch>* object, std::string* detail) {
  if (object == nullptr) return E_POINTER;
  object->Reset();
  Guid clsid;
  HRESULT status = CLSIDFromString(class_name, &clsid, detail);
  if (FAILED(status)) return status;
  void* made = nullptr;
  status = CoCreateInstance(clsid, nullptr, IDispatch::kIid, &made, detail);
  if (SUCCEEDED(status)) *object = ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(made));
  return status;
}

}  // namespace tarvik::platform::com
