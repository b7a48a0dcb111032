// A form host in miniature: creates the control by its ProgID, sites it on a client site that can
// hold controls in place, initialises, activates, draws, saves and loads it, uses a property and
// a method through its own interface, deactivates and releases it, checking each return code and
// what the site saw. Prints one line per case and a closing "N passed, N failed".
#include <initguid.h>

#include "tarvikftp.h"

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <string>

namespace {

int passed = 0;
int failed = 0;

void Check(const char* name, bool ok) {
  ++(ok ? passed : failed);
  std::printf("%s - %s\n", ok ? "ok" : "FAIL", name);
}

template <typename I>
I* Query(IUnknown* object, REFIID iid) {
  void* face = nullptr;
  object->QueryInterface(iid, &face);
  return static_cast<I*>(face);
}

// The form's site: in-place capable, windowless, counting references and (de)activations.
class FormSite final : public IOleClientSite, public IOleInPlaceSite {
 public:
  LONG references = 1;
  int activations = 0;
  int deactivations = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *object = static_cast<IOleClientSite*>(this);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *object = static_cast<IOleInPlaceSite*>(this);
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references); }
  STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&references); }
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  STDMETHODIMP GetWindow(HWND*) override { return E_FAIL; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return ++activations, S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame**, IOleInPlaceUIWindow**, LPRECT, LPRECT,
                                LPOLEINPLACEFRAMEINFO) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return ++deactivations, S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
};

// Draws the control into a white bitmap: the call succeeds and leaves it white.
bool DrawsNothing(IViewObject2* view) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 16, 16);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RECT area{0, 0, 16, 16};
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECTL bounds{0, 0, 16, 16};
  const bool drawn = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds,
                                nullptr, nullptr, 0) == S_OK;
  const bool white = GetPixel(dc, 8, 8) == RGB(255, 255, 255);
  DeleteObject(SelectObject(dc, previous));
  DeleteDC(dc);
  return drawn && white;
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  CLSID id{};
  IOleObject* control = nullptr;
  Check("created by its ProgID with IOleObject",
        SUCCEEDED(CLSIDFromProgID(L"TarvikFtp.FtpLibrary", &id)) &&
            CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                             reinterpret_cast<void**>(&control)) == S_OK);
  if (control == nullptr) return std::printf("%d passed, %d failed\n", passed, failed), 1;
  DWORD misc = 0;
  control->GetMiscStatus(DVASPECT_CONTENT, &misc);
  Check("invisible at run time, wants its site first",
        (misc & OLEMISC_INVISIBLEATRUNTIME) && (misc & OLEMISC_SETCLIENTSITEFIRST));
  FormSite site;
  Check("SetClientSite", control->SetClientSite(&site) == S_OK);

  auto* persist = Query<IPersistStreamInit>(control, IID_IPersistStreamInit);
  auto* bag = Query<IPersistPropertyBag>(control, IID_IPersistPropertyBag);
  CLSID persisted{};
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  STATSTG saved{};
  Check("IPersistStreamInit: the class, InitNew, Save writes nothing, Load, not dirty",
        persist != nullptr && persist->GetClassID(&persisted) == S_OK &&
            IsEqualCLSID(persisted, id) && persist->InitNew() == S_OK &&
            persist->Save(stream, TRUE) == S_OK && stream->Stat(&saved, STATFLAG_NONAME) == S_OK &&
            saved.cbSize.QuadPart == 0 && persist->Load(stream) == S_OK &&
            persist->IsDirty() == S_FALSE);
  Check("IPersistPropertyBag::InitNew", bag != nullptr && bag->InitNew() == S_OK);

  RECT place{0, 0, 32, 32};
  Check("DoVerb(OLEIVERB_INPLACEACTIVATE), then OLEIVERB_SHOW once active",
        control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, &place) == S_OK &&
            control->DoVerb(OLEIVERB_SHOW, nullptr, &site, 0, nullptr, &place) == S_OK);
  Check("the site saw one in-place activation", site.activations == 1);

  auto* view = Query<IViewObject2>(control, IID_IViewObject2);
  SIZEL size{2000, 1000}, extent{};
  Check("IViewObject2::GetExtent is the extent set",
        view != nullptr && control->SetExtent(DVASPECT_CONTENT, &size) == S_OK &&
            view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent) == S_OK && extent.cx == 2000 &&
            extent.cy == 1000);
  Check("IViewObject::Draw draws nothing at run time", view != nullptr && DrawsNothing(view));

  auto* ftp = Query<_FtpLibrary>(control, IID__FtpLibrary);
  BSTR server = SysAllocString(L"ftp.example.com"), read_back = nullptr, text = nullptr;
  Check("a property and a method through the sited control",
        ftp != nullptr && ftp->put_ServerName(server) == S_OK &&
            ftp->get_ServerName(&read_back) == S_OK &&
            std::wstring(read_back) == L"ftp.example.com" &&
            ftp->FormatSize(2048.0, &text) == S_OK && SysStringLen(text) > 0);

  auto* in_place = Query<IOleInPlaceObject>(control, IID_IOleInPlaceObject);
  HWND window = nullptr;
  Check("IOleInPlaceObject: windowless, InPlaceDeactivate",
        in_place != nullptr && FAILED(in_place->GetWindow(&window)) && window == nullptr &&
            in_place->InPlaceDeactivate() == S_OK);
  Check("the site saw one in-place deactivation", site.deactivations == 1);

  for (IUnknown* face : {static_cast<IUnknown*>(persist), static_cast<IUnknown*>(bag),
                         static_cast<IUnknown*>(view), static_cast<IUnknown*>(ftp),
                         static_cast<IUnknown*>(in_place), static_cast<IUnknown*>(stream)})
    if (face != nullptr) face->Release();
  SysFreeString(server), SysFreeString(read_back), SysFreeString(text);
  Check("Close, SetClientSite(nullptr)",
        control->Close(OLECLOSE_NOSAVE) == S_OK && control->SetClientSite(nullptr) == S_OK);
  Check("the last reference released, none kept to the site",
        control->Release() == 0 && site.references == 1);
  OleUninitialize();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
