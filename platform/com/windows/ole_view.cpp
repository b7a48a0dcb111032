#include "platform/com/windows/ole_view.h"

#include "platform/com/windows/ole_placement.h"

namespace tarvik::platform::com_bridge {

namespace {

bool Drawable(DWORD aspect) {
  return aspect == DVASPECT_CONTENT || aspect == DVASPECT_ICON;
}

}  // namespace

OleView::~OleView() {
  if (sink_ != nullptr) sink_->Release();
}

HRESULT OleView::QueryInterface(REFIID iid, void** object) {
  return owner_.QueryInterface(iid, object);
}

HRESULT OleView::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = nullptr;
  return E_FAIL;  // windowless
}

HRESULT OleView::InPlaceDeactivate() {
  placement_.DeactivateInPlace();
  return S_OK;
}

HRESULT OleView::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                      LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (!Drawable(aspect)) return DV_E_DVASPECT;
  if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
  return S_OK;  // nothing to draw: the control has no face at run time
}

HRESULT OleView::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors == nullptr) return E_POINTER;
  *colors = nullptr;
  return S_FALSE;  // no colours of its own
}

HRESULT OleView::Freeze(DWORD aspect, LONG, void*, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  return Drawable(aspect) ? S_OK : DV_E_DVASPECT;  // the view never changes: always frozen
}

HRESULT OleView::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  if (sink != nullptr) sink->AddRef();
  if (sink_ != nullptr) sink_->Release();
  sink_ = sink;
  sink_aspects_ = aspects;
  sink_flags_ = flags;
  return S_OK;
}

HRESULT OleView::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) *aspects = sink_aspects_;
  if (flags != nullptr) *flags = sink_flags_;
  if (sink != nullptr) {
    *sink = sink_;
    if (sink_ != nullptr) sink_->AddRef();
  }
  return S_OK;
}

HRESULT OleView::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  if (size == nullptr) return E_POINTER;
  if (!Drawable(aspect)) return DV_E_DVASPECT;
  *size = placement_.extent();
  return S_OK;
}

}  // namespace tarvik::platform::com_bridge
