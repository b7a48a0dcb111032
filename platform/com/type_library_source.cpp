#include "platform/com/type_library_source.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace tarvik::platform::com {

namespace {

std::string Text(std::string_view value) {
  return std::string(value);
}
std::string Text(std::size_t value) {
  return std::to_string(value);
}
std::string Text(int value) {
  return std::to_string(value);
}
std::string Text(std::uint16_t value) {
  return std::to_string(value);
}

// `pattern` with each "{}" replaced by the next argument; "{{" and "}}" stand for braces.
template <typename... Args>
std::string Format(std::string_view pattern, const Args&... args) {
  const std::string values[] = {Text(args)..., ""};
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if ((c == '{' || c == '}') && i + 1 < pattern.size() && pattern[i + 1] == c) {
      out += c;
      ++i;
    } else if (c == '{' && i + 1 < pattern.size() && pattern[i + 1] == '}') {
      out += values[next++];
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

// Stand-ins for the automation types and base interfaces the IDL needs: the compiler finds the
// real ones in stdole2.tlb, but takes the vtable offsets of a dual interface from the base
// interfaces declared here, so these list every method of IUnknown and IDispatch. The C header
// made from the IDL leaves them out and takes the system's declarations instead.
constexpr std::string_view kIdlPrologue = R"(cpp_quote("#include <oaidl.h>")
cpp_quote("#if 0")
typedef unsigned short *BSTR;
typedef long HRESULT;
typedef short VARIANT_BOOL;
typedef double DATE;
typedef struct tagVARIANT { long placeholder[6]; } VARIANT;
[object, local, uuid(00000000-0000-0000-C000-000000000046)]
interface IUnknown { HRESULT QueryInterface(); long AddRef(); long Release(); }
[object, local, uuid(00020400-0000-0000-C000-000000000046)]
interface IDispatch : IUnknown {
  HRESULT GetTypeInfoCount(); HRESULT GetTypeInfo(); HRESULT GetIDsOfNames(); HRESULT Invoke();
}
cpp_quote("#endif")
)";

std::string GuidText(const Guid& guid) {
  const std::string text = guid.ToString();
  return text.substr(1, text.size() - 2);  // IDL writes identifiers without braces
}

std::string IdText(DispId id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(id));
  return text;
}

// The interface an object of `type` is passed as: a class's default interface.
const TypeInfo* InterfaceOf(const TypeInfo* type) {
  if (type != nullptr && type->kind == TypeKind::kClass) return type->DefaultInterface();
  return type;
}

std::string IdlType(const TypeRef& ref) {
  switch (ref.vt) {
    case VarType::kBoolean:
      return "VARIANT_BOOL";
    case VarType::kInteger:
      return "short";
    case VarType::kLong:
      return ref.type != nullptr ? std::string(ref.type->name) : "long";
    case VarType::kDouble:
      return "double";
    case VarType::kDate:
      return "DATE";
    case VarType::kString:
      return "BSTR";
    case VarType::kVariant:
      return "VARIANT";
    case VarType::kObject: {
      const TypeInfo* target = InterfaceOf(ref.type);
      return std::string(target != nullptr ? target->name : "IDispatch") + "*";
    }
    case VarType::kUnknown:
      return "IUnknown*";
    default:
      return "VARIANT";
  }
}

// The C++ type of a slot parameter, and the variant type it travels as.
struct SlotType {
  std::string_view cpp;
  std::string_view vt;
};

SlotType SlotTypeOf(const TypeRef& ref) {
  switch (ref.vt) {
    case VarType::kBoolean:
      return {"VARIANT_BOOL", "VT_BOOL"};
    case VarType::kInteger:
      return {"SHORT", "VT_I2"};
    case VarType::kLong:
      return {"LONG", "VT_I4"};
    case VarType::kDouble:
      return {"DOUBLE", "VT_R8"};
    case VarType::kDate:
      return {"DATE", "VT_DATE"};
    case VarType::kString:
      return {"BSTR", "VT_BSTR"};
    case VarType::kObject:
      return {"::IDispatch*", "VT_DISPATCH"};
    case VarType::kUnknown:
      return {"::IUnknown*", "VT_UNKNOWN"};
    default:
      return {"VARIANT", "VT_VARIANT"};
  }
}

std::string DefaultValue(const ParamInfo& param) {
  if (param.type.vt == VarType::kString) return Format("\"{}\"", param.default_text);
  if (param.type.vt == VarType::kBoolean) {
    return NamesEqual(param.default_text, "True") ? "-1" : "0";
  }
  return std::string(param.default_text.empty() ? "0" : param.default_text);
}

std::string IdlParam(const ParamInfo& param) {
  std::string attributes = param.in_out ? "in, out" : "in";
  if (param.optional) attributes += ", optional";
  if (param.has_default) attributes += Format(", defaultvalue({})", DefaultValue(param));
  return Format("[{}] {}{} {}", attributes, IdlType(param.type), param.in_out ? "*" : "",
                param.name);
}

// The parameters of one function: its own, then a put's new value or a get's result.
std::string IdlParams(const FunctionInfo& function) {
  const MemberInfo& member = *function.member;
  std::vector<std::string> params;
  for (const ParamInfo& param : member.params) params.push_back(IdlParam(param));
  if (function.kind == DISPATCH_PROPERTYPUT || function.kind == DISPATCH_PROPERTYPUTREF) {
    params.push_back(Format("[in] {} value", IdlType(member.type)));
  } else if (!member.type.is_void()) {
    params.push_back(Format("[out, retval] {}* result", IdlType(member.type)));
  }
  std::string text;
  for (const std::string& param : params) text += (text.empty() ? "" : ", ") + param;
  return text;
}

std::string_view AccessorAttribute(InvokeFlags kind) {
  switch (kind) {
    case DISPATCH_PROPERTYGET:
      return ", propget";
    case DISPATCH_PROPERTYPUT:
      return ", propput";
    case DISPATCH_PROPERTYPUTREF:
      return ", propputref";
    default:
      return "";
  }
}

void WriteEnum(const TypeInfo& type, std::string& out) {
  out += Format("  typedef [uuid({})] enum {{\n", GuidText(type.guid));
  for (const EnumValue& value : type.values) {
    out += Format("    {} = {},\n", value.name, value.value);
  }
  out += Format("  }} {};\n\n", type.name);
}

void WriteInterface(const TypeInfo& type, std::string& out) {
  out += Format("  [uuid({}), dual, oleautomation, nonextensible]\n", GuidText(type.guid));
  out += Format("  interface {} : IDispatch {{\n", type.name);
  for (const FunctionInfo& function : type.Functions()) {
    out += Format("    [id({}){}] HRESULT {}({});\n", IdText(function.member->id),
                  AccessorAttribute(function.kind), function.member->name, IdlParams(function));
  }
  out += "  };\n\n";
}

void WriteEventInterface(const TypeInfo& type, std::string& out) {
  out += Format("  [uuid({})]\n  dispinterface {} {{\n  properties:\n  methods:\n",
                GuidText(type.guid), type.name);
  for (const MemberInfo& event : type.members) {
    std::string params;
    for (const ParamInfo& param : event.params) {
      params += (params.empty() ? "" : ", ") + IdlParam(param);
    }
    out += Format("    [id({})] void {}({});\n", IdText(event.id), event.name, params);
  }
  out += "  };\n\n";
}

void WriteClass(const TypeInfo& type, std::string& out) {
  out += Format("  [uuid({}){}{}]\n  coclass {} {{\n", GuidText(type.guid),
                type.help.empty() ? "" : Format(", helpstring(\"{}\")", type.help),
                type.creatable ? "" : ", noncreatable", type.name);
  for (const ImplementedType& implemented : type.implemented) {
    const bool source = (implemented.flags & IMPLTYPEFLAG_FSOURCE) != 0;
    std::string attributes = (implemented.flags & IMPLTYPEFLAG_FDEFAULT) != 0 ? "default" : "";
    if (source) attributes += attributes.empty() ? "source" : ", source";
    out += Format("    {}{}{} {};\n", attributes.empty() ? "" : "[" + attributes + "] ", "",
                  source ? "dispinterface" : "interface", implemented.type->name);
  }
  out += "  };\n\n";
}

std::string SlotFunction(const std::string& name, const FunctionInfo& function) {
  const MemberInfo& member = *function.member;
  std::vector<std::string> params{"void* self"};
  std::vector<std::string> args;
  std::size_t index = 0;
  auto add = [&](const TypeRef& type, bool by_ref) {
    const SlotType slot = SlotTypeOf(type);
    const std::string param = Format("p{}", index++);
    params.push_back(Format("{}{} {}", slot.cpp, by_ref ? "*" : "", param));
    args.push_back(by_ref ? Format("SlotRef({}, {})", slot.vt, param)
                          : Format("SlotIn({}, &{})", slot.vt, param));
  };
  for (const ParamInfo& param : member.params) add(param.type, param.in_out);
  const bool setter =
      function.kind == DISPATCH_PROPERTYPUT || function.kind == DISPATCH_PROPERTYPUTREF;
  if (setter) add(member.type, false);
  std::string result_vt = "VT_EMPTY";
  std::string result = "nullptr";
  if (!setter && !member.type.is_void()) {
    const SlotType slot = SlotTypeOf(member.type);
    params.push_back(Format("{}* result", slot.cpp));
    result_vt = slot.vt;
    result = "result";
  }
  std::string signature;
  for (const std::string& param : params) signature += (signature.empty() ? "" : ", ") + param;
  std::string arg_list;
  for (const std::string& arg : args) arg_list += (arg_list.empty() ? "" : ", ") + arg;
  const std::string call_args = args.empty() ? "nullptr, 0" : Format("arguments, {}", args.size());
  return Format(
      "HRESULT STDMETHODCALLTYPE {}({}) {{\n{}  return CallSlot(self, {}, {}, {}, {}, {});\n}}\n\n",
      name, signature, args.empty() ? "" : Format("  VARIANT arguments[] = {{{}}};\n", arg_list),
      IdText(member.id), function.kind, call_args, result_vt, result);
}

}  // namespace

std::string TypeLibraryIdl(const TypeLibrary& library) {
  std::string out = "// Generated from the library's type table; not to be edited.\n";
  out += kIdlPrologue;
  out += Format("\n[uuid({}), version({}), helpstring(\"{}\")]\nlibrary {} {{\n",
                GuidText(library.guid), library.VersionText(), library.help, library.name);
  out += "  importlib(\"stdole2.tlb\");\n\n";
  // Interfaces and event interfaces are declared ahead so that members may name any of them;
  // enumerations come first because IDL has no forward declaration of an enumeration.
  for (const TypeInfo* type : library.types) {
    if (type->kind == TypeKind::kInterface) out += Format("  interface {};\n", type->name);
    if (type->kind == TypeKind::kEventInterface) {
      out += Format("  dispinterface {};\n", type->name);
    }
  }
  out += "\n";
  for (const TypeInfo* type : library.types) {
    if (type->kind == TypeKind::kEnum) WriteEnum(*type, out);
  }
  for (const TypeInfo* type : library.types) {
    switch (type->kind) {
      case TypeKind::kInterface:
        WriteInterface(*type, out);
        break;
      case TypeKind::kEventInterface:
        WriteEventInterface(*type, out);
        break;
      case TypeKind::kClass:
        WriteClass(*type, out);
        break;
      case TypeKind::kEnum:
        break;
    }
  }
  out += "};\n";
  return out;
}

std::string DualSlotSource(const TypeLibrary& library) {
  std::string out =
      "// Generated from the library's type table; not to be edited.\n"
      "#include \"platform/com/windows/dual_slots.h\"\n\n"
      "namespace tarvik::platform::com_bridge {\n\nnamespace {\n\n";
  std::string tables;
  std::string entries;
  std::size_t interface_index = 0;
  for (const TypeInfo* type : library.types) {
    if (type->kind != TypeKind::kInterface) continue;
    const std::vector<FunctionInfo> functions = type->Functions();
    std::string slots;
    for (std::size_t i = 0; i < functions.size(); ++i) {
      const std::string name = Format("Slot{}_{}", interface_index, i);
      out += SlotFunction(name, functions[i]);
      slots += Format("    reinterpret_cast<const void*>(&{}),\n", name);
    }
    tables += Format("// {}\nconst void* const kSlots{}[] = {{\n{}}};\n\n", type->name,
                     interface_index, slots);
    entries += Format("      {{com::MakeGuid(\"{}\"), kSlots{}}},\n", type->guid.ToString(),
                      interface_index);
    ++interface_index;
  }
  out += tables + "}  // namespace\n\n";
  out += "std::span<const DualInterface> GeneratedDualInterfaces() {\n";
  out += "  static const DualInterface kInterfaces[] = {\n" + entries + "  };\n";
  out += "  return kInterfaces;\n}\n\n}  // namespace tarvik::platform::com::bridge\n";
  return out;
}

}  // namespace tarvik::platform::com
