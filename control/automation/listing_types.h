// Type information of the two data classes that listings return: CFtpFile (one remote entry) and
// CFtpFiles (the ordered collection of them). Every CFtpFile property is read/write and lists its
// put before its get. The collection's enumerator member NewEnum carries an ordinary DISPID.
#pragma once

#include "platform/com/type_info.h"

namespace tarvik::automation {

using platform::com::Access;
using platform::com::ImplementedType;
using platform::com::IMPLTYPEFLAG_FDEFAULT;
using platform::com::kBooleanType;
using platform::com::kDoubleType;
using platform::com::kIntegerType;
using platform::com::kStringType;
using platform::com::kUnknownType;
using platform::com::kVariantType;
using platform::com::kVoidType;
using platform::com::MakeGuid;
using platform::com::MemberInfo;
using platform::com::Method;
using platform::com::ObjectType;
using platform::com::ParamInfo;
using platform::com::Property;
using platform::com::TypeInfo;
using platform::com::TypeKind;

inline constexpr MemberInfo kCFtpFileMembers[] = {
    Property("IsDirectory", 0x68030117, kBooleanType, Access::kWriteRead),
    Property("FileSize", 0x68030116, kDoubleType, Access::kWriteRead),
    Property("LastWriteTime", 0x68030115, kStringType, Access::kWriteRead),
    Property("FileName", 0x68030114, kStringType, Access::kWriteRead),
    Property("FilePath", 0x68030113, kStringType, Access::kWriteRead),
    Property("Permissions", 0x68030112, kStringType, Access::kWriteRead),
    Property("Owner", 0x68030111, kStringType, Access::kWriteRead),
    Property("Group", 0x68030110, kStringType, Access::kWriteRead),
};
inline constexpr TypeInfo kCFtpFileInterface{
    .name = "_CFtpFile",
    .kind = TypeKind::kInterface,
    .guid = MakeGuid("{3D5AC16E-0CE7-494E-A866-980F6EC88B4A}"),
    .members = kCFtpFileMembers};
inline constexpr ImplementedType kCFtpFileImplements[] = {
    {&kCFtpFileInterface, IMPLTYPEFLAG_FDEFAULT}};
inline constexpr TypeInfo kCFtpFileClass{.name = "CFtpFile",
                                         .kind = TypeKind::kClass,
                                         .guid = MakeGuid("{77A33D38-4008-45FF-BFA3-E63DC40DFD0D}"),
                                         .implemented = kCFtpFileImplements};

inline constexpr ParamInfo kCFtpFilesAddParams[] = {{"oFtpFile", ObjectType(kCFtpFileClass)},
                                                    {"vKey", kVariantType}};
inline constexpr ParamInfo kCFtpFilesIndexParams[] = {{"vntIndexKey", kIntegerType}};
inline constexpr ParamInfo kCFtpFilesNameParams[] = {{"vntName", kStringType}};

inline constexpr MemberInfo kCFtpFilesMembers[] = {
    Method("Add", 0x600300DC, ObjectType(kCFtpFileClass), kCFtpFilesAddParams),
    Property("Item", 0x680300DB, ObjectType(kCFtpFileClass), Access::kRead, kCFtpFilesIndexParams),
    Property("ItemName", 0x680300DA, ObjectType(kCFtpFileClass), Access::kRead,
             kCFtpFilesNameParams),
    Property("Count", 0x680300D9, kIntegerType, Access::kRead),
    Method("Remove", 0x600300DD, kVoidType, kCFtpFilesIndexParams),
    Property("NewEnum", 0x680300D8, kUnknownType, Access::kRead),
};
inline constexpr TypeInfo kCFtpFilesInterface{
    .name = "_CFtpFiles",
    .kind = TypeKind::kInterface,
    .guid = MakeGuid("{96F56F20-F037-4444-97AC-410583D2F9AB}"),
    .members = kCFtpFilesMembers};
inline constexpr ImplementedType kCFtpFilesImplements[] = {
    {&kCFtpFilesInterface, IMPLTYPEFLAG_FDEFAULT}};
inline constexpr TypeInfo kCFtpFilesClass{
    .name = "CFtpFiles",
    .kind = TypeKind::kClass,
    .guid = MakeGuid("{065946AA-A708-4A4B-BBE3-AF4851F0F7F1}"),
    .implemented = kCFtpFilesImplements};

}  // namespace tarvik::automation
