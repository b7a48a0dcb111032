#include "platform/com/windows/internal_class.h"

namespace tarvik::platform::com_bridge {

const com::TypeInfo* ClassTypeOf(com::IUnknown& object) {
  com::ComPtr<com::IProvideClassInfo> info;
  const com::TypeInfo* type = nullptr;
  if (com::Failed(com::ComPtr<com::IUnknown>(&object).As(&info)) ||
      com::Failed(info->GetClassInfo(&type))) {
    return nullptr;
  }
  return type;
}

}  // namespace tarvik::platform::com_bridge
