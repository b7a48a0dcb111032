#include "platform/com/dispatch_table.h"

#include <exception>

namespace tarvik::platform::com {
namespace {

using binding_detail::CallFrame;
using binding_detail::Shape;
using binding_detail::Thunk;

// Slot of an accessor kind in the per-member array.
int SlotOf(InvokeFlags kind) {
  switch (kind) {
    case DISPATCH_METHOD:
      return 0;
    case DISPATCH_PROPERTYGET:
      return 1;
    case DISPATCH_PROPERTYPUT:
      return 2;
    default:
      return 3;  // DISPATCH_PROPERTYPUTREF
  }
}

std::string KindName(InvokeFlags kind) {
  switch (kind) {
    case DISPATCH_METHOD:
      return "method";
    case DISPATCH_PROPERTYGET:
      return "property get";
    case DISPATCH_PROPERTYPUT:
      return "property put";
    default:
      return "property putref";
  }
}

std::string Quoted(std::string_view name) {
  return "'" + std::string(name) + "'";
}

std::string Plural(std::size_t count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The parameters of an accessor: the member's, plus the new value of a put or putref.
std::vector<ParamInfo> ParametersOf(const MemberInfo& member, InvokeFlags kind) {
  std::vector<ParamInfo> params(member.params.begin(), member.params.end());
  if (kind == DISPATCH_PROPERTYPUT || kind == DISPATCH_PROPERTYPUTREF) {
    params.push_back(ParamInfo{"value", member.type});
  }
  return params;
}

// The value an omitted optional parameter takes.
HRESULT OmittedValue(const ParamInfo& param, Variant* value) {
  if (param.has_default) return Variant(param.default_text).ChangeType(param.type.vt, value);
  switch (param.type.vt) {
    case VarType::kVariant:
    case VarType::kError:
      *value = Variant::Missing();
      return S_OK;
    case VarType::kObject:
      *value = Variant(ComPtr<IDispatch>());
      return S_OK;
    case VarType::kUnknown:
      *value = Variant::FromUnknown(nullptr);
      return S_OK;
    default:
      return Variant().ChangeType(param.type.vt, value);
  }
}

// How an argument's value reads in a message: 'abc' for text, the number for a number, else the
// type name.
std::string Describe(const Variant& value) {
  switch (value.type()) {
    case VarType::kString:
      return "String " + Quoted(*value.Get<std::string>());
    case VarType::kInteger:
    case VarType::kLong:
    case VarType::kDouble:
      return std::string(VarTypeName(value.type())) + " " + value.ToText();
    default:
      return std::string(VarTypeName(value.type()));
  }
}

// Fills `error` and returns `status`.
HRESULT Refuse(InvokeError* error, const TypeInfo& type, HRESULT status, std::string description,
               int argument = -1) {
  if (error != nullptr) {
    error->source = std::string(type.name);
    error->description = std::move(description);
    error->argument = argument;
  }
  return status;
}

}  // namespace

DispatchTableBase::DispatchTableBase(const TypeInfo& type) : interface_(&type) {
  if (type.kind == TypeKind::kClass) {
    class_ = &type;
    interface_ = type.DefaultInterface();
    if (interface_ == nullptr) {
      problems_.push_back("class " + std::string(type.name) + " has no default interface");
      interface_ = &type;  // dispatches nothing: a class lists no members
    }
  }
  bound_.resize(interface_->members.size());
}

bool DispatchTableBase::IsBound(std::string_view name) const {
  return IsBound(interface_->FindMember(name));
}

bool DispatchTableBase::IsBound(const MemberInfo* member) const {
  if (member == nullptr) return false;
  for (const Thunk& thunk : bound_[member - interface_->members.data()]) {
    if (thunk) return true;
  }
  return false;
}

HRESULT DispatchTableBase::GetIDsOfNames(std::string_view name, DispId* id) const {
  if (id == nullptr) return E_POINTER;
  const MemberInfo* member = interface_->FindMember(name);
  if (!IsBound(member)) {
    *id = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  *id = member->id;
  return S_OK;
}

std::string DispatchTableBase::CheckShape(const MemberInfo& member, InvokeFlags kind,
                                          const Shape& shape) const {
  const std::string where =
      KindName(kind) + " " + Quoted(member.name) + " of " + std::string(interface_->name);
  if (!member.has(kind)) return where + ": the type information has no such accessor";
  const std::vector<ParamInfo> params = ParametersOf(member, kind);
  if (shape.params.size() != params.size()) {
    return where + ": declared with " + Plural(params.size(), "parameter") + ", bound with " +
           std::to_string(shape.params.size());
  }
  for (std::size_t i = 0; i < params.size(); ++i) {
    const std::string which =
        where + ", parameter " + std::to_string(i + 1) + " " + Quoted(params[i].name);
    if (shape.params[i] != VarType::kVariant && shape.params[i] != params[i].type.vt) {
      return which + ": declared " + std::string(VarTypeName(params[i].type.vt)) + ", bound as " +
             std::string(VarTypeName(shape.params[i]));
    }
    if (shape.in_out[i] != params[i].in_out) {
      return which + (params[i].in_out ? ": declared in/out, bound by value"
                                       : ": declared by value, bound by reference");
    }
  }
  const bool has_result = kind == DISPATCH_METHOD || kind == DISPATCH_PROPERTYGET;
  const VarType declared = has_result ? member.type.vt : VarType::kEmpty;
  const bool result_fits = shape.result == declared ||
                           (shape.result == VarType::kVariant && declared != VarType::kEmpty);
  if (!result_fits) {
    return where + ": declared result " + std::string(VarTypeName(declared)) + ", bound result " +
           std::string(VarTypeName(shape.result));
  }
  return {};
}

void DispatchTableBase::Bind(std::string_view name, InvokeFlags kind, Shape shape, Thunk thunk) {
  const MemberInfo* member = interface_->FindMember(name);
  if (member == nullptr) {
    problems_.push_back(Quoted(name) + " is not a member of " + std::string(interface_->name));
    return;
  }
  std::string problem = CheckShape(*member, kind, shape);
  Thunk& slot = bound_[member - interface_->members.data()][SlotOf(kind)];
  if (problem.empty() && slot) {
    problem = KindName(kind) + " " + Quoted(member->name) + " is bound twice";
  }
  if (!problem.empty()) {
    problems_.push_back(std::move(problem));
    return;
  }
  slot = std::move(thunk);
}

HRESULT DispatchTableBase::InvokeOn(void* self, DispId id, InvokeFlags flags,
                                    std::span<const Variant> args, Variant* result,
                                    InvokeError* error) const {
  const TypeInfo& type = *interface_;
  const MemberInfo* member = type.FindMember(id);
  if (!IsBound(member)) {
    return Refuse(error, type, DISP_E_MEMBERNOTFOUND,
                  "no member with DISPID " + StatusHex(id) + " in " + std::string(type.name));
  }
  const std::string member_name = Quoted(member->name) + " of " + std::string(type.name);
  const Accessors& accessors = bound_[member - type.members.data()];

  // Choose the accessor the flags ask for.
  InvokeFlags kind = 0;
  if (member->is_method()) {
    if ((flags & DISPATCH_METHOD) == 0) {
      return Refuse(error, type, DISP_E_MEMBERNOTFOUND, member_name + " is a method");
    }
    kind = DISPATCH_METHOD;
  } else if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
    const bool by_ref = (flags & DISPATCH_PROPERTYPUTREF) != 0 && accessors[3];
    kind = by_ref ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    if (!accessors[SlotOf(kind)]) {
      const bool ref_only = accessors[3] && !accessors[2];
      return Refuse(error, type, DISP_E_MEMBERNOTFOUND,
                    member_name + (ref_only ? " is set by reference only"
                                            : " is read-only: it cannot be assigned"));
    }
  } else if ((flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0) {
    kind = DISPATCH_PROPERTYGET;
    if (!accessors[1]) {
      return Refuse(error, type, DISP_E_MEMBERNOTFOUND,
                    member_name + " is write-only: it cannot be read");
    }
  } else {
    return Refuse(error, type, DISP_E_MEMBERNOTFOUND, member_name + " cannot be invoked that way");
  }

  // Count the arguments.
  const std::vector<ParamInfo> params = ParametersOf(*member, kind);
  std::size_t required = 0;
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (!params[i].optional) required = i + 1;
  }
  if (args.size() > params.size() || args.size() < required) {
    const std::string expected = required == params.size() ? Plural(params.size(), "argument")
                                                           : std::to_string(required) + " to " +
                                                                 Plural(params.size(), "argument");
    return Refuse(
        error, type, DISP_E_BADPARAMCOUNT,
        member_name + " takes " + expected + ", " + std::to_string(args.size()) + " given");
  }

  // Convert each argument to its parameter's type.
  std::vector<Variant> values(params.size());
  std::vector<Variant*> targets(params.size(), nullptr);
  for (std::size_t i = 0; i < params.size(); ++i) {
    const ParamInfo& param = params[i];
    const int index = static_cast<int>(i);
    const bool is_value =
        kind != DISPATCH_METHOD && kind != DISPATCH_PROPERTYGET && i + 1 == params.size();
    const std::string which = is_value ? "the value assigned to " + member_name
                                       : "argument " + std::to_string(i + 1) + " " +
                                             Quoted(param.name) + " of " + member_name;
    if (i >= args.size() || args[i].is_missing()) {
      if (!param.optional) {
        return Refuse(error, type, DISP_E_PARAMNOTOPTIONAL, which + " is not optional", index);
      }
      if (Failed(OmittedValue(param, &values[i]))) {
        return Refuse(error, type, E_UNEXPECTED,
                      "the default of " + which + " does not fit its type", index);
      }
      continue;
    }
    if (param.in_out) {
      if (!args[i].is_by_ref() || args[i].target() == nullptr) {
        return Refuse(error, type, DISP_E_TYPEMISMATCH,
                      which + " is in/out and must be passed by reference", index);
      }
      targets[i] = args[i].target();
    }
    const HRESULT converted = args[i].ChangeType(param.type.vt, &values[i]);
    if (converted == DISP_E_OVERFLOW) {
      return Refuse(error, type, converted,
                    which + ": " + Describe(args[i]) + " is out of the range of " +
                        std::string(VarTypeName(param.type.vt)),
                    index);
    }
    if (Failed(converted)) {
      return Refuse(error, type, DISP_E_TYPEMISMATCH,
                    which + ": cannot convert " + Describe(args[i]) + " to " +
                        std::string(VarTypeName(param.type.vt)),
                    index);
    }
  }

  // Call the binding; nothing it throws goes further.
  Variant value;
  CallFrame frame{values, targets, &value};
  try {
    accessors[SlotOf(kind)](self, frame);
  } catch (const std::exception& failure) {
    return Refuse(error, type, DISP_E_EXCEPTION, member_name + " failed: " + failure.what());
  } catch (...) {
    return Refuse(error, type, DISP_E_EXCEPTION, member_name + " failed");
  }
  if (result != nullptr) *result = std::move(value);
  return S_OK;
}

}  // namespace tarvik::platform::com
