#include "platform/com/dispatch.h"

namespace tarvik::platform::com {

HRESULT InvokeByName(IDispatch* object, std::string_view name, InvokeFlags flags,
                     std::span<const Variant> args, Variant* result, InvokeError* error) {
  if (object == nullptr) return E_POINTER;
  DispId id = DISPID_UNKNOWN;
  const HRESULT status = object->GetIDsOfNames(name, &id);
  if (Failed(status)) {
    if (error != nullptr) {
      const TypeInfo* type = object->GetTypeInfo();
      error->source = type != nullptr ? std::string(type->name) : std::string();
      error->description = "'" + std::string(name) + "' is not a member of " +
                           (type != nullptr ? std::string(type->name) : std::string("the object"));
      error->argument = -1;
    }
    return status;
  }
  return object->Invoke(id, flags, args, result, error);
}

}  // namespace tarvik::platform::com
