// Type information: the description of a type library as static tables, built at compile time
// and walked at run time by hosts (to list members, find events, name enumeration values) and by
// the generic dispatch implementation (dispatch_table.h), which takes member names, DISPIDs,
// parameters, optional defaults and accessors from it.
//
// A library is a list of types in library order. Each type is one constexpr TypeInfo:
//   - an interface (dual dispatch interface): its members in interface order;
//   - an event interface (outgoing, implemented by the host's sink): its events as methods;
//   - a class: the interfaces it implements and the one it sources, the default flagged;
//   - an enumeration: its names and values.
// Types refer to one another by pointer (a property of an enumeration type, a method returning a
// class), so a referenced type is defined above its user in the source, whatever its place in the
// library order.
//
//   constexpr EnumValue kModeValues[] = {{"modeFast", 0}, {"modeSafe", 1}};
//   constexpr TypeInfo kModes{.name = "Modes", .kind = TypeKind::kEnum,
//                             .guid = MakeGuid("{...}"), .values = kModeValues};
//   constexpr ParamInfo kRenameParams[] = {{"OldName", kStringType}, {"NewName", kStringType}};
//   constexpr ParamInfo kTitleParam[] = {ParamInfo{"Title", kStringType}.WithDefault("")};
//   constexpr MemberInfo kWidgetMembers[] = {
//       Method("Rename", 0x60030001, kBooleanType, kRenameParams),
//       Method("Browse", 0x60030002, kStringType, kTitleParam),
//       Property("Mode", 0x68030000, EnumType(kModes), Access::kReadWrite),
//       Property("Timeout", 0x68030001, kIntegerType, Access::kWriteRead)};
//   constexpr TypeInfo kWidgetInterface{.name = "_Widget", .kind = TypeKind::kInterface,
//                                       .guid = MakeGuid("{...}"), .members = kWidgetMembers};
//
// Every lookup by name ignores letter case (A-Z), as late-bound callers expect.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/variant.h"

namespace tarvik::platform::com {

using DispId = std::int32_t;

// The default member of an object (its value when converted to a simple type).
inline constexpr DispId DISPID_VALUE = 0;
// GetIDsOfNames' answer for an unknown name.
inline constexpr DispId DISPID_UNKNOWN = -1;
// The argument of a property put, as named argument.
inline constexpr DispId DISPID_PROPERTYPUT = -3;
// The standard member returning an enumerator.
inline constexpr DispId DISPID_NEWENUM = -4;

// How a member is invoked; a caller may combine METHOD and PROPERTYGET ("read it, whichever it
// is"), as script engines do.
using InvokeFlags = std::uint16_t;
inline constexpr InvokeFlags DISPATCH_METHOD = 1;
inline constexpr InvokeFlags DISPATCH_PROPERTYGET = 2;
inline constexpr InvokeFlags DISPATCH_PROPERTYPUT = 4;
inline constexpr InvokeFlags DISPATCH_PROPERTYPUTREF = 8;

struct TypeInfo;

// The type of a parameter, result or property.
struct TypeRef {
  VarType vt = VarType::kEmpty;    // kEmpty: no value (a method without result)
  const TypeInfo* type = nullptr;  // the enumeration (vt kLong) or class/interface (vt kObject)
                                   // the value belongs to; nullptr for plain types
  constexpr bool is_void() const { return vt == VarType::kEmpty; }
};

inline constexpr TypeRef kVoidType{};
inline constexpr TypeRef kBooleanType{VarType::kBoolean};
inline constexpr TypeRef kIntegerType{VarType::kInteger};
inline constexpr TypeRef kLongType{VarType::kLong};
inline constexpr TypeRef kDoubleType{VarType::kDouble};
inline constexpr TypeRef kDateType{VarType::kDate};
inline constexpr TypeRef kStringType{VarType::kString};
inline constexpr TypeRef kVariantType{VarType::kVariant};
inline constexpr TypeRef kObjectType{VarType::kObject};
inline constexpr TypeRef kUnknownType{VarType::kUnknown};
// A value of enumeration `type` (carried as a Long).
constexpr TypeRef EnumType(const TypeInfo& type) {
  return {VarType::kLong, &type};
}
// An object of class or interface `type`.
constexpr TypeRef ObjectType(const TypeInfo& type) {
  return {VarType::kObject, &type};
}

// A parameter. In/out parameters must be passed by reference; the callee writes its result back.
struct ParamInfo {
  std::string_view name;
  TypeRef type;
  bool in_out = false;              // passed by reference, written back
  bool optional = false;            // may be omitted (or passed as Variant::Missing())
  bool has_default = false;         // an omitted argument takes `default_text`
  std::string_view default_text{};  // converted to `type` when used ("", "0", "False")

  // This parameter, in/out.
  constexpr ParamInfo InOut() const {
    ParamInfo p = *this;
    p.in_out = true;
    return p;
  }
  // This parameter, optional without a default: an omitted argument arrives as Missing for a
  // Variant parameter, as the type's empty value (0, "", False) otherwise.
  constexpr ParamInfo Optional() const {
    ParamInfo p = *this;
    p.optional = true;
    return p;
  }
  // This parameter, optional with the default `text`.
  constexpr ParamInfo WithDefault(std::string_view text) const {
    ParamInfo p = Optional();
    p.has_default = true;
    p.default_text = text;
    return p;
  }
};

// Accessors of a property, in the order the interface lists them.
enum class Access : std::uint8_t {
  kRead,          // get
  kWrite,         // put
  kReadWrite,     // get, then put
  kWriteRead,     // put, then get
  kReadWriteRef,  // get, then putref (an object property set by reference)
};

// One member of an interface: a method, or a property with its accessors.
struct MemberInfo {
  std::string_view name;
  DispId id = DISPID_UNKNOWN;
  InvokeFlags kinds = 0;              // DISPATCH_METHOD, or the property's DISPATCH_PROPERTY* bits
  TypeRef type;                       // method result, or property value type
  std::span<const ParamInfo> params;  // method arguments, or property index arguments
  bool put_first = false;             // a property's put precedes its get in the interface

  constexpr bool is_method() const { return kinds == DISPATCH_METHOD; }
  constexpr bool has(InvokeFlags kind) const { return (kinds & kind) != 0; }
};

constexpr MemberInfo Method(std::string_view name, DispId id, TypeRef result,
                            std::span<const ParamInfo> params = {}) {
  return {name, id, DISPATCH_METHOD, result, params, false};
}

constexpr MemberInfo Property(std::string_view name, DispId id, TypeRef type, Access access,
                              std::span<const ParamInfo> index = {}) {
  InvokeFlags kinds = 0;
  switch (access) {
    case Access::kRead:
      kinds = DISPATCH_PROPERTYGET;
      break;
    case Access::kWrite:
      kinds = DISPATCH_PROPERTYPUT;
      break;
    case Access::kReadWrite:
    case Access::kWriteRead:
      kinds = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;
      break;
    case Access::kReadWriteRef:
      kinds = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUTREF;
      break;
  }
  return {name, id, kinds, type, index, access == Access::kWriteRead};
}

// One function of an interface as the interface lists it: a method, or one accessor of a property.
struct FunctionInfo {
  const MemberInfo* member;
  InvokeFlags kind;  // DISPATCH_METHOD or one DISPATCH_PROPERTY* bit
  friend bool operator==(const FunctionInfo&, const FunctionInfo&) = default;
};

struct EnumValue {
  std::string_view name;
  std::int32_t value;
};

// Roles of an interface in a class.
inline constexpr std::uint8_t IMPLTYPEFLAG_FDEFAULT = 1;  // the default (or default source)
inline constexpr std::uint8_t IMPLTYPEFLAG_FSOURCE = 2;   // outgoing: the class fires it

struct ImplementedType {
  const TypeInfo* type;
  std::uint8_t flags = 0;  // IMPLTYPEFLAG_*
};

enum class TypeKind : std::uint8_t {
  kInterface,       // dual dispatch interface
  kEventInterface,  // outgoing dispatch interface, implemented by sinks
  kClass,           // a class with its interfaces
  kEnum,            // enumeration
};

struct TypeInfo {
  std::string_view name;
  TypeKind kind = TypeKind::kInterface;
  Guid guid;
  std::span<const MemberInfo> members{};           // interfaces: members in interface order
  std::span<const EnumValue> values{};             // enumerations
  std::span<const ImplementedType> implemented{};  // classes
  bool creatable = false;   // classes: made by the library's class factory (has a CLSID entry)
  std::string_view help{};  // a description (registered as the class's name)

  // Member by name (any case) or by DISPID; nullptr when absent.
  const MemberInfo* FindMember(std::string_view name) const;
  const MemberInfo* FindMember(DispId id) const;
  // Enumeration value by name (any case); nullptr when absent.
  const EnumValue* FindValue(std::string_view name) const;
  // Classes: the default interface, the default source (event) interface; nullptr when none.
  const TypeInfo* DefaultInterface() const;
  const TypeInfo* DefaultSource() const;
  // Interfaces: the functions in interface order, each property accessor on its own.
  std::vector<FunctionInfo> Functions() const;
};

struct TypeLibrary {
  std::string_view name;
  std::string_view help;
  Guid guid;
  std::uint16_t major_version = 1;
  std::uint16_t minor_version = 0;
  std::span<const TypeInfo* const> types;  // library order

  // Type by name (any case) or by GUID; nullptr when absent.
  const TypeInfo* Find(std::string_view name) const;
  const TypeInfo* Find(const Guid& guid) const;
  // The version as registered: "1.0".
  std::string VersionText() const;
};

// ASCII case-insensitive equality, the comparison of every name lookup.
bool NamesEqual(std::string_view a, std::string_view b);

}  // namespace tarvik::platform::com
