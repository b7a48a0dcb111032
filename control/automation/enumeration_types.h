// The five public enumerations of the TarvikFtp type library, with the values hosts rely on.
// FtpStates, MessageTypes and FtpTransferModes mirror core/session/ftp_states.h; the other two are
// declared for hosts only (no member takes or returns them).
#pragma once

#include "platform/com/type_info.h"

namespace tarvik::automation {

using platform::com::EnumValue;
using platform::com::MakeGuid;
using platform::com::TypeInfo;
using platform::com::TypeKind;

inline constexpr EnumValue kFtpStatesValues[] = {
    {"ftpFreeState", 0},
    {"ftpClosed", 1},
    {"ftpConnecting", 2},
    {"ftpConnected", 3},
    {"ftpAuthentication", 4},
    {"ftpUserLoggedIn", 5},
    {"ftpChangingCurrentDirectory", 6},
    {"ftpDeletingFile", 7},
    {"ftpRemovingDirectory", 8},
    {"ftpCreatingDirectory", 9},
    {"ftpRenamingFile", 10},
    {"ftpEstablishingDataConnection", 11},
    {"ftpDataConnectionEstablished", 12},
    {"ftpRetrievingDirectoryInfo", 13},
    {"ftpDirectoryInfoRetrieved", 14},
    {"ftpDownloadInProgress", 15},
    {"ftpDownloadCompleted", 16},
    {"ftpUploadInProgress", 17},
    {"ftpUploadCompleted", 18},
    {"ftpQuiting", 19},
    {"ftpGetFileSize", 20},
};
inline constexpr TypeInfo kFtpStatesType{.name = "FtpStates",
                                         .kind = TypeKind::kEnum,
                                         .guid = MakeGuid("{F8739D1E-DD21-4BEA-934D-020745A00038}"),
                                         .values = kFtpStatesValues};

// Declared only: no member takes or returns it.
inline constexpr EnumValue kAsyncResultStatusValues[] = {
    {"arStatusOk", 0},
    {"arStatusError", 1},
    {"arStatusTimeout", 2},
    {"arStatusCancel", 3},
};
inline constexpr TypeInfo kAsyncResultStatusType{
    .name = "AsyncResultStatusConstants",
    .kind = TypeKind::kEnum,
    .guid = MakeGuid("{3322413F-7110-4B0C-B758-5E5869BD0E3F}"),
    .values = kAsyncResultStatusValues};

inline constexpr EnumValue kFtpTransferModesValues[] = {
    {"FTP_ASCII_MODE", 0},
    {"FTP_IMAGE_MODE", 1},
};
inline constexpr TypeInfo kFtpTransferModesType{
    .name = "FtpTransferModes",
    .kind = TypeKind::kEnum,
    .guid = MakeGuid("{5722161E-5844-49F5-8E93-D36CC64DE7F4}"),
    .values = kFtpTransferModesValues};

inline constexpr EnumValue kMessageTypesValues[] = {
    {"FTP_USER_COMMAND", 0},
    {"FTP_SERVER_RESPONSE", 1},
    {"FTP_SERVER_BAD_RESPONSE", 2},
    {"FTP_APPLICATION_MESSAGE", 3},
};
inline constexpr TypeInfo kMessageTypesType{
    .name = "MessageTypes",
    .kind = TypeKind::kEnum,
    .guid = MakeGuid("{FA2821FE-1912-4FA5-83B7-270366D585A6}"),
    .values = kMessageTypesValues};

// Shell folders, declared for hosts: no member of the interface takes or returns it.
inline constexpr EnumValue kFolderItemValues[] = {
    {"Default", 0},         {"Desktop", 1},       {"Program", 2},
    {"ControlPanel", 3},    {"Printers", 4},      {"DocumentsFolder", 5},
    {"FavoritesFolder", 6}, {"StartupFolder", 7}, {"RecentFolder", 8},
    {"SendToFolder", 9},    {"RecycleBin", 10},   {"StartMenuFolder", 11},
    {"DesktopFolder", 16},  {"MyComputer", 17},   {"NetworkNeighborhood", 18},
    {"NetHoodFolder", 19},  {"FontsFolder", 20},  {"ShellNewFolder", 21},
};
inline constexpr TypeInfo kFolderItemType{
    .name = "FolderItem",
    .kind = TypeKind::kEnum,
    .guid = MakeGuid("{952CE005-5364-4AFD-997E-2AEDE0F613FA}"),
    .values = kFolderItemValues};

}  // namespace tarvik::automation
