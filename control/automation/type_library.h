// The TarvikFtp type library: every published type in library order, and the description of the
// server library (its one creatable class and ProgID) that drives the exported entry points.
#pragma once

#include "control/automation/enumeration_types.h"
#include "control/automation/ftp_library_type.h"
#include "control/automation/listing_types.h"
#include "platform/com/server_module.h"
#include "platform/com/type_info.h"

namespace tarvik::automation {

using platform::com::TypeLibrary;

inline constexpr const TypeInfo* kTarvikFtpTypes[] = {
    &kFtpLibraryInterface,   &kFtpLibraryClass,      &kCFtpFileInterface, &kCFtpFileClass,
    &kCFtpFilesInterface,    &kCFtpFilesClass,       &kFtpLibraryEvents,  &kFtpStatesType,
    &kAsyncResultStatusType, &kFtpTransferModesType, &kMessageTypesType,  &kFolderItemType,
};

// The library's own identifier and version are ours to choose; they only have to stay put.
inline constexpr TypeLibrary kTarvikFtpLibrary{
    .name = "TarvikFtp",
    .help = "TarvikFtp",
    .guid = MakeGuid("{5B587FA8-1CC2-4FBC-B6AE-BCD95333E4B2}"),
    .major_version = 1,
    .minor_version = 0,
    .types = kTarvikFtpTypes};

inline constexpr char kFtpLibraryProgId[] = "TarvikFtp.FtpLibrary";

// The classes the library serves and registers (FtpLibrary, as a control).
const platform::com::ServerModule& TarvikFtpModule();

}  // namespace tarvik::automation
