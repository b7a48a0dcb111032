#include "platform/com/type_info.h"

#include <string>

#include "platform/text/ascii_text.h"

namespace tarvik::platform::com {
namespace {

const TypeInfo* ImplementedWith(const TypeInfo& type, std::uint8_t flags) {
  for (const ImplementedType& implemented : type.implemented) {
    if ((implemented.flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) == flags) {
      return implemented.type;
    }
  }
  return nullptr;
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  return EqualsIgnoreAsciiCase(a, b);
}

const MemberInfo* TypeInfo::FindMember(std::string_view member_name) const {
  for (const MemberInfo& member : members) {
    if (NamesEqual(member.name, member_name)) return &member;
  }
  return nullptr;
}

const MemberInfo* TypeInfo::FindMember(DispId id) const {
  for (const MemberInfo& member : members) {
    if (member.id == id) return &member;
  }
  return nullptr;
}

const EnumValue* TypeInfo::FindValue(std::string_view value_name) const {
  for (const EnumValue& value : values) {
    if (NamesEqual(value.name, value_name)) return &value;
  }
  return nullptr;
}

const TypeInfo* TypeInfo::DefaultInterface() const {
  return ImplementedWith(*this, IMPLTYPEFLAG_FDEFAULT);
}

const TypeInfo* TypeInfo::DefaultSource() const {
  return ImplementedWith(*this, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

std::vector<FunctionInfo> TypeInfo::Functions() const {
  std::vector<FunctionInfo> functions;
  for (const MemberInfo& member : members) {
    if (member.is_method()) {
      functions.push_back({&member, DISPATCH_METHOD});
      continue;
    }
    const InvokeFlags setters[] = {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF};
    if (member.put_first) {
      for (InvokeFlags setter : setters) {
        if (member.has(setter)) functions.push_back({&member, setter});
      }
    }
    if (member.has(DISPATCH_PROPERTYGET)) functions.push_back({&member, DISPATCH_PROPERTYGET});
    if (!member.put_first) {
      for (InvokeFlags setter : setters) {
        if (member.has(setter)) functions.push_back({&member, setter});
      }
    }
  }
  return functions;
}

const TypeInfo* TypeLibrary::Find(std::string_view type_name) const {
  for (const TypeInfo* type : types) {
    if (NamesEqual(type->name, type_name)) return type;
  }
  return nullptr;
}

const TypeInfo* TypeLibrary::Find(const Guid& type_guid) const {
  for (const TypeInfo* type : types) {
    if (type->guid == type_guid) return type;
  }
  return nullptr;
}

std::string TypeLibrary::VersionText() const {
  return std::to_string(major_version) + "." + std::to_string(minor_version);
}

}  // namespace tarvik::platform::com
