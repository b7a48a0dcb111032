#include "platform/com/windows/ole_persistence.h"

namespace tarvik::platform::com_bridge {

HRESULT OlePersistence::GetClassID(CLSID* class_id) {
  if (class_id == nullptr) return E_POINTER;
  *class_id = class_id_;
  return S_OK;
}

HRESULT OlePersistence::Load(IStream* stream) {
  return stream != nullptr ? S_OK : E_POINTER;
}

HRESULT OlePersistence::Save(IStream* stream, BOOL) {
  return stream != nullptr ? S_OK : E_POINTER;
}

HRESULT OlePersistence::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT OlePersistence::Load(IPropertyBag* bag, IErrorLog*) {
  return bag != nullptr ? S_OK : E_POINTER;
}

HRESULT OlePersistence::Save(IPropertyBag* bag, BOOL, BOOL) {
  return bag != nullptr ? S_OK : E_POINTER;
}

}  // namespace tarvik::platform::com_bridge
