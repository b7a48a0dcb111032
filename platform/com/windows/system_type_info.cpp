#include "platform/com/windows/system_type_info.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/windows/wide_text.h"

namespace tarvik::platform::com_bridge {

namespace {

// Everything one description points into.
struct Described {
  com::TypeInfo type;
  std::deque<std::string> texts;  // names and defaults; a deque keeps them in place
  std::vector<com::MemberInfo> members;
  std::vector<std::vector<com::ParamInfo>> params;  // one list per member
  std::vector<com::EnumValue> values;
  std::vector<com::ImplementedType> implemented;

  std::string_view Keep(std::string text) { return texts.emplace_back(std::move(text)); }
};

struct Cache {
  std::recursive_mutex mutex;  // a description describes the types it refers to first
  std::map<com::Guid, std::unique_ptr<Described>> by_guid;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

std::string NameOf(ITypeInfo* type, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(type->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return {};
  std::string text = FromBstr(name);
  SysFreeString(name);
  return text;
}

// The type a TYPEDESC stands for; `by_reference` tells whether it was a pointer to a value.
com::TypeRef TypeOf(ITypeInfo* owner, const TYPEDESC& desc, bool* by_reference = nullptr) {
  const TYPEDESC* current = &desc;
  if (current->vt == VT_PTR && current->lptdesc != nullptr) {
    const TYPEDESC* target = current->lptdesc;
    if (target->vt != VT_USERDEFINED && by_reference != nullptr) *by_reference = true;
    current = target;
  }
  switch (current->vt) {
    case VT_BOOL:
      return com::kBooleanType;
    case VT_I2:
    case VT_UI1:
      return com::kIntegerType;
    case VT_I4:
    case VT_INT:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_HRESULT:
      return com::kLongType;
    case VT_R4:
    case VT_R8:
    case VT_CY:
      return com::kDoubleType;
    case VT_DATE:
      return com::kDateType;
    case VT_BSTR:
      return com::kStringType;
    case VT_DISPATCH:
      return com::kObjectType;
    case VT_UNKNOWN:
      return com::kUnknownType;
    case VT_VOID:
      return com::kVoidType;
    case VT_USERDEFINED: {
      ITypeInfo* referenced = nullptr;
      if (FAILED(owner->GetRefTypeInfo(current->hreftype, &referenced))) return com::kVariantType;
      const com::TypeInfo* described = DescribeSystemType(referenced);
      referenced->Release();
      if (described == nullptr) return com::kVariantType;
      return described->kind == com::TypeKind::kEnum ? com::EnumType(*described)
                                                     : com::ObjectType(*described);
    }
    default:
      return com::kVariantType;
  }
}

std::string DefaultText(const PARAMDESC& desc) {
  if ((desc.wParamFlags & PARAMFLAG_FHASDEFAULT) == 0 || desc.pparamdescex == nullptr) return {};
  VARIANT text;
  VariantInit(&text);
  std::string out;
  if (SUCCEEDED(VariantChangeType(&text, &desc.pparamdescex->varDefaultValue, 0, VT_BSTR))) {
    out = FromBstr(V_BSTR(&text));
  }
  VariantClear(&text);
  return out;
}

void DescribeFunctions(ITypeInfo* type, const TYPEATTR& attributes, Described& out) {
  std::map<MEMBERID, std::size_t> index;  // member by DISPID
  for (UINT f = 0; f < attributes.cFuncs; ++f) {
    FUNCDESC* function = nullptr;
    if (FAILED(type->GetFuncDesc(f, &function))) continue;
    if ((function->wFuncFlags & FUNCFLAG_FRESTRICTED) != 0) {
      type->ReleaseFuncDesc(function);
      continue;  // IUnknown's and IDispatch's own functions
    }
    BSTR names[32] = {};
    UINT named = 0;
    type->GetNames(function->memid, names, 32, &named);
    const bool setter =
        function->invkind == INVOKE_PROPERTYPUT || function->invkind == INVOKE_PROPERTYPUTREF;
    SHORT count = function->cParams;
    std::vector<com::ParamInfo> params;
    com::TypeRef value_type = TypeOf(type, function->elemdescFunc.tdesc);
    for (SHORT p = 0; p < count; ++p) {
      const ELEMDESC& element = function->lprgelemdescParam[p];
      const USHORT flags = element.paramdesc.wParamFlags;
      if ((flags & PARAMFLAG_FRETVAL) != 0) {  // the vtable view of a result
        value_type = TypeOf(type, *element.tdesc.lptdesc);
        continue;
      }
      if (setter && p == count - 1) {
        value_type = TypeOf(type, element.tdesc);
        continue;
      }
      com::ParamInfo param;
      param.name = out.Keep(p + 1 < static_cast<SHORT>(named) ? FromBstr(names[p + 1]) : "");
      bool by_reference = false;
      param.type = TypeOf(type, element.tdesc, &by_reference);
      param.in_out = by_reference && (flags & PARAMFLAG_FOUT) != 0;
      param.optional = (flags & PARAMFLAG_FOPT) != 0;
      if ((flags & PARAMFLAG_FHASDEFAULT) != 0) {
        param = param.WithDefault(out.Keep(DefaultText(element.paramdesc)));
      }
      params.push_back(param);
    }
    const std::string name = named > 0 ? FromBstr(names[0]) : std::string();
    for (UINT n = 0; n < named; ++n) SysFreeString(names[n]);
    const com::InvokeFlags kind = static_cast<com::InvokeFlags>(function->invkind);
    const auto found = index.find(function->memid);
    if (found == index.end()) {
      index.emplace(function->memid, out.members.size());
      com::MemberInfo member;
      member.name = out.Keep(name);
      member.id = function->memid;
      member.kinds = kind;
      member.type = value_type;
      member.put_first = setter;
      out.members.push_back(member);
      out.params.push_back(std::move(params));
    } else {
      com::MemberInfo& member = out.members[found->second];
      member.kinds = static_cast<com::InvokeFlags>(member.kinds | kind);
      if (!setter) {
        member.type = value_type;
        out.params[found->second] = std::move(params);
      }
    }
    type->ReleaseFuncDesc(function);
  }
  for (std::size_t m = 0; m < out.members.size(); ++m) out.members[m].params = out.params[m];
}

void DescribeValues(ITypeInfo* type, const TYPEATTR& attributes, Described& out) {
  for (UINT v = 0; v < attributes.cVars; ++v) {
    VARDESC* variable = nullptr;
    if (FAILED(type->GetVarDesc(v, &variable))) continue;
    VARIANT number;
    VariantInit(&number);
    if (variable->varkind == VAR_CONST &&
        SUCCEEDED(VariantChangeType(&number, variable->lpvarValue, 0, VT_I4))) {
      out.values.push_back({out.Keep(NameOf(type, variable->memid)), V_I4(&number)});
    }
    type->ReleaseVarDesc(variable);
  }
}

void DescribeClass(ITypeInfo* type, const TYPEATTR& attributes, Described& out) {
  for (UINT i = 0; i < attributes.cImplTypes; ++i) {
    HREFTYPE reference = 0;
    INT flags = 0;
    ITypeInfo* implemented = nullptr;
    if (FAILED(type->GetRefTypeOfImplType(i, &reference)) ||
        FAILED(type->GetImplTypeFlags(i, &flags)) ||
        FAILED(type->GetRefTypeInfo(reference, &implemented))) {
      continue;
    }
    if (const com::TypeInfo* described = DescribeSystemType(implemented)) {
      out.implemented.push_back({described, static_cast<std::uint8_t>(flags & 3)});
    }
    implemented->Release();
  }
}

}  // namespace

const com::TypeInfo* DescribeSystemType(ITypeInfo* type) {
  if (type == nullptr) return nullptr;
  TYPEATTR* attributes = nullptr;
  if (FAILED(type->GetTypeAttr(&attributes))) return nullptr;
  const com::Guid guid = FromSystem(attributes->guid);
  Cache& cache = TheCache();
  const std::lock_guard<std::recursive_mutex> lock(cache.mutex);
  if (const auto found = cache.by_guid.find(guid); found != cache.by_guid.end()) {
    type->ReleaseTypeAttr(attributes);
    return &found->second->type;
  }
  // Entered before it is filled, so that a type referring back to it finds it.
  Described& out = *cache.by_guid.emplace(guid, std::make_unique<Described>()).first->second;
  out.type.name = out.Keep(NameOf(type, MEMBERID_NIL));
  out.type.guid = guid;
  switch (attributes->typekind) {
    case TKIND_ENUM:
      out.type.kind = com::TypeKind::kEnum;
      DescribeValues(type, *attributes, out);
      out.type.values = out.values;
      break;
    case TKIND_COCLASS:
      out.type.kind = com::TypeKind::kClass;
      out.type.creatable = (attributes->wTypeFlags & TYPEFLAG_FCANCREATE) != 0;
      DescribeClass(type, *attributes, out);
      out.type.implemented = out.implemented;
      break;
    default: {
      // A dual interface is described through its dispatch view, where results are results.
      ITypeInfo* dispatch_view = nullptr;
      HREFTYPE view = 0;
      if (attributes->typekind == TKIND_INTERFACE &&
          (attributes->wTypeFlags & TYPEFLAG_FDUAL) != 0 &&
          SUCCEEDED(type->GetRefTypeOfImplType(static_cast<UINT>(-1), &view)) &&
          SUCCEEDED(type->GetRefTypeInfo(view, &dispatch_view))) {
        TYPEATTR* view_attributes = nullptr;
        if (SUCCEEDED(dispatch_view->GetTypeAttr(&view_attributes))) {
          DescribeFunctions(dispatch_view, *view_attributes, out);
          dispatch_view->ReleaseTypeAttr(view_attributes);
        }
        dispatch_view->Release();
      } else {
        DescribeFunctions(type, *attributes, out);
      }
      const bool dual = (attributes->wTypeFlags & TYPEFLAG_FDUAL) != 0;
      out.type.kind = attributes->typekind == TKIND_DISPATCH && !dual
                          ? com::TypeKind::kEventInterface
                          : com::TypeKind::kInterface;
      out.type.members = out.members;
      break;
    }
  }
  type->ReleaseTypeAttr(attributes);
  return &out.type;
}

}  // namespace tarvik::platform::com_bridge
