// The type library of the sample server used by the object-model tests: a creatable class
// "Abacus" with a dual interface, an event interface and an enumeration, and a non-creatable
// class "Bead" whose only member is its default value.
#pragma once

#include "platform/com/type_info.h"

namespace tarvik::platform::com::sample {

inline constexpr EnumValue kAbacusModeValues[] = {{"abSimple", 0}, {"abScientific", 1}};
inline constexpr TypeInfo kAbacusModes{.name = "AbacusModes",
                                       .kind = TypeKind::kEnum,
                                       .guid = MakeGuid("{5B1D7C0E-3F4A-4E8B-9C2D-1A2B3C4D5E60}"),
                                       .values = kAbacusModeValues};

inline constexpr MemberInfo kBeadMembers[] = {
    Property("Value", DISPID_VALUE, kLongType, Access::kRead),
};
inline constexpr TypeInfo kBeadInterface{.name = "_Bead",
                                         .kind = TypeKind::kInterface,
                                         .guid = MakeGuid("{5B1D7C0E-3F4A-4E8B-9C2D-1A2B3C4D5E61}"),
                                         .members = kBeadMembers};
inline constexpr ImplementedType kBeadImplements[] = {{&kBeadInterface, IMPLTYPEFLAG_FDEFAULT}};
inline constexpr TypeInfo kBeadClass{.name = "Bead",
                                     .kind = TypeKind::kClass,
                                     .guid = MakeGuid("{5B1D7C0E-3F4A-4E8B-9C2D-1A2B3C4D5E62}"),
                                     .implemented = kBeadImplements};

inline constexpr ParamInfo kAddParams[] = {{"a", kLongType}, {"b", kLongType}};
inline constexpr ParamInfo kDescribeParams[] = {
    {"Subject", kStringType}, ParamInfo{"Detail", kStringType}.WithDefault("none")};
inline constexpr ParamInfo kAppendParams[] = {ParamInfo{"Text", kStringType}.InOut(),
                                              {"Suffix", kStringType}};
inline constexpr ParamInfo kScaleParams[] = {{"Factor", kIntegerType}};
inline constexpr ParamInfo kMakeBeadParams[] = {{"Value", kLongType}};
inline constexpr ParamInfo kKindParams[] = {ParamInfo{"Item", kVariantType}.Optional()};
inline constexpr ParamInfo kStampParams[] = {{"When", kDateType}};
inline constexpr ParamInfo kDigitParams[] = {{"Position", kIntegerType}};

inline constexpr MemberInfo kAbacusMembers[] = {
    Method("Add", 0x60030000, kDoubleType, kAddParams),
    Method("Describe", 0x60030001, kStringType, kDescribeParams),
    Method("Append", 0x60030002, kBooleanType, kAppendParams),
    Method("Scale", 0x60030003, kDoubleType, kScaleParams),
    Method("Ring", 0x60030004, kVoidType),
    Method("Fail", 0x60030005, kVoidType),
    Method("MakeBead", 0x60030006, ObjectType(kBeadClass), kMakeBeadParams),
    Method("Kind", 0x60030007, kStringType, kKindParams),
    Method("Reserved", 0x60030008, kVoidType),  // declared, never bound
    Method("Stamp", 0x60030009, kStringType, kStampParams),
    Property("Total", 0x68030000, kDoubleType, Access::kReadWrite),
    Property("Label", 0x68030001, kStringType, Access::kWriteRead),
    Property("Secret", 0x68030002, kStringType, Access::kWrite),
    Property("Beads", 0x68030003, kIntegerType, Access::kRead),
    Property("Mode", 0x68030004, EnumType(kAbacusModes), Access::kReadWrite),
    Property("Partner", 0x68030005, kObjectType, Access::kReadWriteRef),
    Property("Digit", 0x68030006, kIntegerType, Access::kReadWrite, kDigitParams),
};
inline constexpr TypeInfo kAbacusInterface{
    .name = "_Abacus",
    .kind = TypeKind::kInterface,
    .guid = MakeGuid("{5B1D7C0E-3F4A-4E8B-9C2D-1A2B3C4D5E63}"),
    .members = kAbacusMembers};

inline constexpr ParamInfo kOnTotalParams[] = {{"Value", kDoubleType}};
inline constexpr MemberInfo kAbacusEventMembers[] = {
    Method("OnRing", 1, kVoidType),
    Method("OnTotal", 2, kVoidType, kOnTotalParams),
};
inline constexpr TypeInfo kAbacusEvents{.name = "__Abacus",
                                        .kind = TypeKind::kEventInterface,
                                        .guid = MakeGuid("{5B1D7C0E-3F4A-4E8B-9C2D-1A2B3C4D5E64}"),
                                        .members = kAbacusEventMembers};

inline constexpr ImplementedType kAbacusImplements[] = {
    {&kAbacusInterface, IMPLTYPEFLAG_FDEFAULT},
    {&kAbacusEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
};
inline constexpr TypeInfo kAbacusClass{.name = "Abacus",
                                       .kind = TypeKind::kClass,
                                       .guid = MakeGuid("{5B1D7C0E-3F4A-4E8B-9C2D-1A2B3C4D5E65}"),
                                       .implemented = kAbacusImplements,
                                       .creatable = true,
                                       .help = "Sample abacus"};

// Library order, which differs from the order of definition above.
inline constexpr const TypeInfo* kSampleTypes[] = {&kAbacusInterface, &kAbacusClass, &kAbacusEvents,
                                                   &kBeadInterface,   &kBeadClass,   &kAbacusModes};
inline constexpr TypeLibrary kSampleLibrary{
    .name = "TarvikSample",
    .help = "Tarvik sample server",
    .guid = MakeGuid("{5B1D7C0E-3F4A-4E8B-9C2D-1A2B3C4D5E66}"),
    .major_version = 2,
    .minor_version = 1,
    .types = kSampleTypes};

inline constexpr char kAbacusProgId[] = "TarvikSample.Abacus";

}  // namespace tarvik::platform::com::sample
