#include "platform/com/variant.h"

#include "platform/com/dispatch.h"

namespace tarvik::platform::com {

std::string_view VarTypeName(VarType type) {
  switch (type) {
    case VarType::kEmpty:
      return "Empty";
    case VarType::kInteger:
      return "Integer";
    case VarType::kLong:
      return "Long";
    case VarType::kDouble:
      return "Double";
    case VarType::kDate:
      return "Date";
    case VarType::kString:
      return "String";
    case VarType::kObject:
      return "Object";
    case VarType::kError:
      return "Error";
    case VarType::kBoolean:
      return "Boolean";
    case VarType::kVariant:
      return "Variant";
    case VarType::kUnknown:
      return "Unknown";
  }
  return "?";
}

Variant::Variant() = default;
Variant::Variant(Storage data) : data_(std::move(data)) {}
Variant::Variant(bool value) : data_(value) {}
Variant::Variant(std::int16_t value) : data_(value) {}
Variant::Variant(std::int32_t value) : data_(value) {}
Variant::Variant(double value) : data_(value) {}
Variant::Variant(Date value) : data_(value) {}
Variant::Variant(std::string value) : data_(std::move(value)) {}
Variant::Variant(std::string_view value) : data_(std::string(value)) {}
Variant::Variant(const char* value) : data_(std::string(value != nullptr ? value : "")) {}
Variant::Variant(ComPtr<IDispatch> value) : data_(std::move(value)) {}
Variant::Variant(ErrorCode value) : data_(value) {}

Variant::Variant(const Variant& other) = default;
Variant::Variant(Variant&& other) noexcept = default;
Variant& Variant::operator=(const Variant& other) = default;
Variant& Variant::operator=(Variant&& other) noexcept = default;
Variant::~Variant() = default;

Variant Variant::FromUnknown(ComPtr<IUnknown> value) {
  return Variant(Storage(std::move(value)));
}

Variant Variant::ByRef(Variant* target) {
  if (target != nullptr && target->is_by_ref()) target = target->target();
  return Variant(Storage(target));
}

Variant* Variant::target() const {
  Variant* const* target = std::get_if<Variant*>(&data_);
  return target != nullptr ? *target : nullptr;
}

const Variant& Variant::value() const {
  const Variant* referenced = target();
  return referenced != nullptr ? *referenced : *this;
}

bool Variant::is_missing() const {
  const ErrorCode* error = Get<ErrorCode>();
  return error != nullptr && error->code == DISP_E_PARAMNOTFOUND;
}

VarType Variant::type_of_own() const {
  struct Visitor {
    VarType operator()(std::monostate) const { return VarType::kEmpty; }
    VarType operator()(bool) const { return VarType::kBoolean; }
    VarType operator()(std::int16_t) const { return VarType::kInteger; }
    VarType operator()(std::int32_t) const { return VarType::kLong; }
    VarType operator()(double) const { return VarType::kDouble; }
    VarType operator()(const Date&) const { return VarType::kDate; }
    VarType operator()(const std::string&) const { return VarType::kString; }
    VarType operator()(const ComPtr<IDispatch>&) const { return VarType::kObject; }
    VarType operator()(const ComPtr<IUnknown>&) const { return VarType::kUnknown; }
    VarType operator()(const ErrorCode&) const { return VarType::kError; }
    // A reference to nothing (ByRef(nullptr)) reads as Empty.
    VarType operator()(Variant*) const { return VarType::kEmpty; }
  };
  return std::visit(Visitor{}, data_);
}

std::string Variant::ToText() const {
  Variant text;
  if (Failed(ChangeType(VarType::kString, &text))) return {};
  return *text.Get<std::string>();
}

}  // namespace tarvik::platform::com
