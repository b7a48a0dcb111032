// A form host in miniature: creates the control by its ProgID, sites it on a client site that
// can hold controls in place, initialises it as a new control, activates it in place, draws it,
// saves and loads it, uses it (a property, and a login when a server is given), and releases it,
// checking each return code and what the site saw. Prints one line per case and a closing
// "N passed, N failed"; exits non-zero on a failure.
//   form_host_check [<host> <port> <user> <password>]
#include <initguid.h>

#include "tarvikftp.h"

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int passed = 0;
int failed = 0;

void Check(const char* name, bool ok) {
  ++(ok ? passed : failed);
  std::printf("%s - %s\n", ok ? "ok" : "FAIL", name);
}

void CheckStatus(const char* name, HRESULT got, HRESULT expected = S_OK) {
  Check(name, got == expected);
  if (got != expected) std::printf("  got 0x%08lX\n", static_cast<unsigned long>(got));
}

std::wstring Wide(const char* text) {
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

// The form's site for the control: in-place capable, windowless, counting what the control asks.
class FormSite final : public IOleClientSite, public IOleInPlaceSite {
 public:
  LONG references = 1;
  int activations = 0;
  int deactivations = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references); }
  STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&references); }
  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = nullptr;
    return E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override {
    ++activations;
    return S_OK;
  }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame**, IOleInPlaceUIWindow**, LPRECT, LPRECT,
                                LPOLEINPLACEFRAMEINFO) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override {
    ++deactivations;
    return S_OK;
  }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
};

// A property bag that counts what is read from and written to it.
class CountingBag final : public IPropertyBag {
 public:
  int reads = 0;
  int writes = 0;
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IPropertyBag ? this : nullptr;
    return *object != nullptr ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP Read(LPCOLESTR, VARIANT*, IErrorLog*) override {
    ++reads;
    return E_INVALIDARG;
  }
  STDMETHODIMP Write(LPCOLESTR, VARIANT*) override {
    ++writes;
    return S_OK;
  }
};

// Saves and loads through both persistence interfaces: each succeeds and moves no data.
void CheckPersistence(IOleObject* control, const CLSID& class_id) {
  IPersistStreamInit* stream_init = nullptr;
  CheckStatus("IPersistStreamInit answered",
              control->QueryInterface(IID_IPersistStreamInit,
                                      reinterpret_cast<void**>(&stream_init)));
  if (stream_init == nullptr) return;
  CLSID persisted{};
  Check("IPersist::GetClassID is the control's class",
        SUCCEEDED(stream_init->GetClassID(&persisted)) && IsEqualCLSID(persisted, class_id));
  CheckStatus("IPersistStreamInit::InitNew", stream_init->InitNew());
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  CheckStatus("IPersistStreamInit::Save", stream_init->Save(stream, TRUE));
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  Check("the saved stream is empty", stat.cbSize.QuadPart == 0);
  CheckStatus("IPersistStreamInit::Load", stream_init->Load(stream));
  CheckStatus("IPersistStreamInit::IsDirty says no", stream_init->IsDirty(), S_FALSE);
  stream->Release();
  stream_init->Release();

  IPersistPropertyBag* bag_persist = nullptr;
  CheckStatus("IPersistPropertyBag answered",
              control->QueryInterface(IID_IPersistPropertyBag,
                                      reinterpret_cast<void**>(&bag_persist)));
  if (bag_persist == nullptr) return;
  CountingBag bag;
  CheckStatus("IPersistPropertyBag::InitNew", bag_persist->InitNew());
  CheckStatus("IPersistPropertyBag::Load", bag_persist->Load(&bag, nullptr));
  CheckStatus("IPersistPropertyBag::Save", bag_persist->Save(&bag, TRUE, TRUE));
  Check("the property bag was neither read nor written", bag.reads == 0 && bag.writes == 0);
  bag_persist->Release();
}

// Draws the active control into a white bitmap: the call succeeds and leaves it white.
void CheckView(IOleObject* control) {
  IViewObject2* view = nullptr;
  CheckStatus("IViewObject2 answered",
              control->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view)));
  if (view == nullptr) return;
  SIZEL size{2000, 1000};
  CheckStatus("IOleObject::SetExtent", control->SetExtent(DVASPECT_CONTENT, &size));
  SIZEL extent{};
  Check("IViewObject2::GetExtent is the extent set",
        SUCCEEDED(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent)) &&
            extent.cx == 2000 && extent.cy == 1000);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 16, 16);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RECT area{0, 0, 16, 16};
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECTL bounds{0, 0, 16, 16};
  CheckStatus("IViewObject::Draw",
              view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                         nullptr, 0));
  Check("nothing is drawn at run time", GetPixel(dc, 8, 8) == RGB(255, 255, 255));
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  view->Release();
}

// A property and a method through the sited, active control's own interface.
void CheckUse(IOleObject* control, int argc, char** argv) {
  _FtpLibrary* ftp = nullptr;
  CheckStatus("_FtpLibrary answered",
              control->QueryInterface(IID__FtpLibrary, reinterpret_cast<void**>(&ftp)));
  if (ftp == nullptr) return;
  const std::wstring host = argc > 1 ? Wide(argv[1]) : L"127.0.0.1";
  BSTR server = SysAllocString(host.c_str());
  BSTR read_back = nullptr;
  Check("a property written and read back",
        SUCCEEDED(ftp->put_ServerName(server)) && SUCCEEDED(ftp->get_ServerName(&read_back)) &&
            read_back != nullptr && host == read_back);
  SysFreeString(server);
  SysFreeString(read_back);
  if (argc > 4) {
    const std::wstring user = Wide(argv[3]), password = Wide(argv[4]);
    BSTR name = SysAllocString(user.c_str()), secret = SysAllocString(password.c_str());
    VARIANT_BOOL connected = VARIANT_FALSE;
    Check("Connect logs in",
          SUCCEEDED(ftp->put_Port(std::atol(argv[2]))) && SUCCEEDED(ftp->put_Username(name)) &&
              SUCCEEDED(ftp->put_Password(secret)) && SUCCEEDED(ftp->Connect(&connected)) &&
              connected == VARIANT_TRUE);
    VARIANT_BOOL done = VARIANT_FALSE;
    Check("Disconnect", SUCCEEDED(ftp->Disconnect(&done)) && done == VARIANT_TRUE);
    SysFreeString(name);
    SysFreeString(secret);
  }
  ftp->Release();
}

}  // namespace

int main(int argc, char** argv) {
  if (FAILED(OleInitialize(nullptr))) return 2;
  CLSID class_id{};
  CheckStatus("the ProgID names a class", CLSIDFromProgID(L"TarvikFtp.FtpLibrary", &class_id));
  IOleObject* control = nullptr;
  CheckStatus("created with IOleObject",
              CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                               reinterpret_cast<void**>(&control)));
  if (control == nullptr) {
    std::printf("%d passed, %d failed\n", passed, failed);
    return 1;
  }
  DWORD status = 0;
  Check("invisible at run time, wants its site first",
        SUCCEEDED(control->GetMiscStatus(DVASPECT_CONTENT, &status)) &&
            (status & OLEMISC_INVISIBLEATRUNTIME) != 0 &&
            (status & OLEMISC_SETCLIENTSITEFIRST) != 0);
  FormSite site;
  CheckStatus("IOleObject::SetClientSite", control->SetClientSite(&site));
  CheckPersistence(control, class_id);

  RECT place{0, 0, 32, 32};
  CheckStatus("DoVerb(OLEIVERB_INPLACEACTIVATE)",
              control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, &place));
  CheckStatus("DoVerb(OLEIVERB_SHOW) once active",
              control->DoVerb(OLEIVERB_SHOW, nullptr, &site, 0, nullptr, &place));
  Check("the site saw one in-place activation", site.activations == 1);
  CheckView(control);
  CheckUse(control, argc, argv);

  IOleInPlaceObject* in_place = nullptr;
  CheckStatus("IOleInPlaceObject answered",
              control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place)));
  if (in_place != nullptr) {
    HWND window = nullptr;
    Check("windowless: no window of its own",
          FAILED(in_place->GetWindow(&window)) && window == nullptr);
    CheckStatus("IOleInPlaceObject::InPlaceDeactivate", in_place->InPlaceDeactivate());
    in_place->Release();
  }
  Check("the site saw one in-place deactivation", site.deactivations == 1);
  CheckStatus("IOleObject::Close", control->Close(OLECLOSE_NOSAVE));
  CheckStatus("IOleObject::SetClientSite(nullptr)", control->SetClientSite(nullptr));
  Check("the control released the last reference", control->Release() == 0);
  Check("the control holds no reference to the site", site.references == 1);
  OleUninitialize();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
