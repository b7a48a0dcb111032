// Type information of the control class FtpLibrary: its dual interface _FtpLibrary (methods in
// interface order, then properties in interface order) and its event interface __FtpLibrary.
//
// These tables are the whole published contract, kept complete as data. Which members a control
// really answers is decided by its dispatch bindings (ftp_library_object.cpp): a member without
// behaviour yet has no binding and so does not exist for callers (unknown name, unknown DISPID).
//
// A read/write property lists its get before its put, except Rcvbuf, Sndbuf, Timeout, Title and
// LangInfo, whose put comes first (Access::kWriteRead).
#pragma once

#include "control/automation/enumeration_types.h"
#include "control/automation/listing_types.h"
#include "platform/com/type_info.h"

namespace tarvik::automation {

using platform::com::EnumType;
using platform::com::IMPLTYPEFLAG_FSOURCE;
using platform::com::kLongType;

inline constexpr ParamInfo kQueueAppendParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kQueueRemoveParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kFormatSizeParams[] = {{"FileSize", kDoubleType}};
inline constexpr ParamInfo kFormatFileSizeParams[] = {{"FileSize", kDoubleType}};
inline constexpr ParamInfo kFormatTimeParams[] = {{"Seconds", kLongType}};
inline constexpr ParamInfo kShowBrowseFolderDialogParams[] = {
    ParamInfo{"Title", kStringType}.WithDefault(""),
    ParamInfo{"InitDir", kStringType}.WithDefault("")};
inline constexpr ParamInfo kShowSaveFileDialogParams[] = {{"FileName", kStringType}};
inline constexpr ParamInfo kExistFileParams[] = {{"FileName", kStringType}};
inline constexpr ParamInfo kGetFileSizeParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetFtpFileSizeParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetFileInfoParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetFtpFileInfoParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetFileListParams[] = {{"DirectoryPath", kStringType}};
inline constexpr ParamInfo kGetFtpDirectoryInfoParams[] = {
    ParamInfo{"DirectoryPath", kStringType}.WithDefault("")};
inline constexpr ParamInfo kExistDirectoryParams[] = {{"DirectoryName", kStringType}};
inline constexpr ParamInfo kCreateDirectoryParams[] = {{"DirectoryPath", kStringType}};
inline constexpr ParamInfo kRemoveDirectoryParams[] = {{"DirectoryPath", kStringType}};
inline constexpr ParamInfo kDeleteFileParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kRenameFileParams[] = {{"OldFileName", kStringType},
                                                  {"NewFileName", kStringType}};
inline constexpr ParamInfo kSendCommandParams[] = {{"FtpCmd", kStringType},
                                                   {"Arguments", kStringType}};
inline constexpr ParamInfo kSetCurrentDirectoryParams[] = {{"DirectoryPath", kStringType}};
inline constexpr ParamInfo kGetFileNameParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetFileNameWithoutExtParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetFileExtensionParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetParentPathParams[] = {{"FolderPath", kStringType}};
inline constexpr ParamInfo kLocalFileExistsParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kLocalFolderExistsParams[] = {{"FolderPath", kStringType}};
inline constexpr ParamInfo kLocalFileCreateParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kLocalFolderCreateParams[] = {{"FolderPath", kStringType}};
inline constexpr ParamInfo kLocalFileDeleteParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kLocalFileReadParams[] = {ParamInfo{"FilePath", kStringType}.InOut()};
inline constexpr ParamInfo kLocalFileWriteParams[] = {
    {"FilePath", kStringType}, ParamInfo{"Text", kStringType}.InOut(), {"Overwrite", kBooleanType}};
inline constexpr ParamInfo kGetLocalFileSizeParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetLocalFolderSizeParams[] = {{"FolderPath", kStringType}};
inline constexpr ParamInfo kGetLocalFileCountParams[] = {{"FolderPath", kStringType}};
inline constexpr ParamInfo kGetLocalFileDateParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetLocalFileListParams[] = {{"FolderPath", kStringType}};
inline constexpr ParamInfo kExecuteParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kExploreParams[] = {{"FilePath", kStringType}};
inline constexpr ParamInfo kGetDriveNamesParams[] = {{"DriveType", kIntegerType}};
inline constexpr ParamInfo kRegCreateParams[] = {ParamInfo{"hKey", kStringType}.InOut(),
                                                 ParamInfo{"SubKey", kStringType}.InOut()};
inline constexpr ParamInfo kRegSetValueParams[] = {
    {"hKey", kStringType}, {"SubKey", kStringType}, {"Value", kStringType}};
inline constexpr ParamInfo kRegSetValueExParams[] = {{"hKey", kStringType},
                                                     {"SubKey", kStringType},
                                                     {"name", kStringType},
                                                     {"Value", kStringType},
                                                     {"strType", kStringType}};
inline constexpr ParamInfo kRegDeleteParams[] = {{"hKey", kStringType}, {"SubKey", kStringType}};
inline constexpr ParamInfo kRegDeleteValueParams[] = {{"hKey", kStringType},
                                                      {"SubKey", kStringType}};
inline constexpr ParamInfo kRegDeleteValueExParams[] = {
    {"hKey", kStringType}, {"SubKey", kStringType}, {"name", kStringType}};
inline constexpr ParamInfo kRegGetValueParams[] = {{"hKey", kStringType}, {"SubKey", kStringType}};
inline constexpr ParamInfo kRegGetValueExParams[] = {
    {"hKey", kStringType}, {"SubKey", kStringType}, ParamInfo{"name", kStringType}.InOut()};
inline constexpr ParamInfo kRegExistsParams[] = {ParamInfo{"hKey", kStringType}.InOut(),
                                                 ParamInfo{"SubKey", kStringType}.InOut()};

inline constexpr MemberInfo kFtpLibraryMembers[] = {
    Method("Download", 0x60032027, kBooleanType),
    Method("Upload", 0x6003202A, kBooleanType),
    Method("QueueAppend", 0x6003202D, kVoidType, kQueueAppendParams),
    Method("QueueRemove", 0x6003202E, kVoidType, kQueueRemoveParams),
    Method("Disconnect", 0x60032043, kBooleanType),
    Method("CloseConnection", 0x600320D1, kBooleanType),
    Method("Connect", 0x6003204D, kBooleanType),
    Method("Abort", 0x60032051, kBooleanType),
    Method("AbortCurrent", 0x60032052, kVoidType),
    Method("FormatSize", 0x6003205F, kStringType, kFormatSizeParams),
    Method("FormatFileSize", 0x600320EB, kStringType, kFormatFileSizeParams),
    Method("FormatTime", 0x60032061, kStringType, kFormatTimeParams),
    Method("ShowFolderBrowserDialog", 0x60032062, kStringType),
    Method("ShowBrowseFolderDialog", 0x600320ED, kStringType, kShowBrowseFolderDialogParams),
    Method("ShowSaveFileDialog", 0x60032063, kStringType, kShowSaveFileDialogParams),
    Method("ShowOpenFileDialog", 0x60032064, kStringType),
    Method("About", 0x6003206A, kVoidType),
    Method("ExistFile", 0x60032076, kBooleanType, kExistFileParams),
    Method("GetFileSize", 0x60032077, kDoubleType, kGetFileSizeParams),
    Method("GetFtpFileSize", 0x60032078, kDoubleType, kGetFtpFileSizeParams),
    Method("GetFileInfo", 0x60032079, kStringType, kGetFileInfoParams),
    Method("GetFtpFileInfo", 0x6003207A, ObjectType(kCFtpFileClass), kGetFtpFileInfoParams),
    Method("GetFileList", 0x6003207C, kStringType, kGetFileListParams),
    Method("GetFtpDirectoryInfo", 0x6003207D, ObjectType(kCFtpFilesClass),
           kGetFtpDirectoryInfoParams),
    Method("ExistDirectory", 0x6003207E, kBooleanType, kExistDirectoryParams),
    Method("CreateDirectory", 0x6003207F, kBooleanType, kCreateDirectoryParams),
    Method("RemoveDirectory", 0x60032080, kBooleanType, kRemoveDirectoryParams),
    Method("DeleteFile", 0x60032082, kBooleanType, kDeleteFileParams),
    Method("RenameFile", 0x60032083, kBooleanType, kRenameFileParams),
    Method("SendCommand", 0x60032084, kStringType, kSendCommandParams),
    Method("SetCurrentDirectory", 0x60032085, kBooleanType, kSetCurrentDirectoryParams),
    Method("GetCurrentDirectory", 0x60032086, kStringType),
    Method("GetFileName", 0x6003208B, kStringType, kGetFileNameParams),
    Method("GetFileNameWithoutExt", 0x6003208C, kStringType, kGetFileNameWithoutExtParams),
    Method("GetFileExtension", 0x6003208D, kStringType, kGetFileExtensionParams),
    Method("GetParentPath", 0x6003208E, kStringType, kGetParentPathParams),
    Method("LocalFileExists", 0x6003208F, kBooleanType, kLocalFileExistsParams),
    Method("LocalFolderExists", 0x60032090, kBooleanType, kLocalFolderExistsParams),
    Method("LocalFileCreate", 0x60032091, kBooleanType, kLocalFileCreateParams),
    Method("LocalFolderCreate", 0x60032092, kBooleanType, kLocalFolderCreateParams),
    Method("LocalFileDelete", 0x60032093, kBooleanType, kLocalFileDeleteParams),
    Method("LocalFileRead", 0x60032094, kStringType, kLocalFileReadParams),
    Method("LocalFileWrite", 0x60032095, kBooleanType, kLocalFileWriteParams),
    Method("GetLocalFileSize", 0x60032096, kDoubleType, kGetLocalFileSizeParams),
    Method("GetLocalFolderSize", 0x60032097, kDoubleType, kGetLocalFolderSizeParams),
    Method("GetLocalFileCount", 0x60032098, kDoubleType, kGetLocalFileCountParams),
    Method("GetLocalFileDate", 0x60032099, kStringType, kGetLocalFileDateParams),
    Method("GetLocalFileList", 0x6003209A, kStringType, kGetLocalFileListParams),
    Method("Execute", 0x6003209B, kLongType, kExecuteParams),
    Method("Explore", 0x6003209C, kBooleanType, kExploreParams),
    Method("GetDriveNames", 0x6003209D, kStringType, kGetDriveNamesParams),
    Method("DownloadHttpFile", 0x6003209E, kBooleanType),
    Method("RegCreate", 0x600320A5, kBooleanType, kRegCreateParams),
    Method("RegSetValue", 0x600320A6, kBooleanType, kRegSetValueParams),
    Method("RegSetValueEx", 0x600320A7, kBooleanType, kRegSetValueExParams),
    Method("RegDelete", 0x600320A8, kBooleanType, kRegDeleteParams),
    Method("RegDeleteValue", 0x600320A9, kBooleanType, kRegDeleteValueParams),
    Method("RegDeleteValueEx", 0x600320AA, kBooleanType, kRegDeleteValueExParams),
    Method("RegGetValue", 0x600320AB, kStringType, kRegGetValueParams),
    Method("RegGetValueEx", 0x600320AC, kStringType, kRegGetValueExParams),
    Method("RegExists", 0x600320AD, kBooleanType, kRegExistsParams),
    Property("SFDFileName", 0x68032026, kStringType, Access::kWrite),
    Property("SFDFilter", 0x68032025, kStringType, Access::kWrite),
    Property("SFDInitialDir", 0x68032024, kStringType, Access::kWrite),
    Property("SFDMultiple", 0x68032023, kBooleanType, Access::kWrite),
    Property("SFDTitle", 0x68032022, kStringType, Access::kWrite),
    Property("ServerName", 0x68032021, kStringType, Access::kReadWrite),
    Property("Username", 0x68032020, kStringType, Access::kReadWrite),
    Property("Password", 0x6803201F, kStringType, Access::kReadWrite),
    Property("Port", 0x6803201E, kLongType, Access::kReadWrite),
    Property("RemotePort", 0x680320B8, kLongType, Access::kWrite),
    Property("RemotePath", 0x6803201D, kStringType, Access::kReadWrite),
    Property("LocalPath", 0x6803201C, kStringType, Access::kReadWrite),
    Property("Overwrite", 0x6803201B, kBooleanType, Access::kReadWrite),
    Property("ReplaceIndex", 0x6803201A, kIntegerType, Access::kReadWrite),
    Property("ReplaceSetting", 0x680320B7, kIntegerType, Access::kWrite),
    Property("RenameRule", 0x68032019, kStringType, Access::kReadWrite),
    Property("Percent", 0x68032018, kIntegerType, Access::kReadWrite),
    Property("TransferredSize", 0x68032017, kDoubleType, Access::kRead),
    Property("TransferSize", 0x680320B6, kDoubleType, Access::kRead),
    Property("ShowTotalProgress", 0x68032016, kBooleanType, Access::kWrite),
    Property("TotalPercent", 0x68032015, kIntegerType, Access::kRead),
    Property("TotalTransferredSize", 0x68032014, kDoubleType, Access::kRead),
    Property("TotalFileSize", 0x68032013, kDoubleType, Access::kRead),
    Property("TransferState", 0x68032012, kStringType, Access::kRead),
    Property("WithoutList", 0x68032011, kBooleanType, Access::kWrite),
    Property("EnableLog", 0x68032010, kBooleanType, Access::kWrite),
    Property("FileSize", 0x6803200F, kDoubleType, Access::kRead),
    Property("TransferMode", 0x6803200E, EnumType(kFtpTransferModesType), Access::kReadWrite),
    Property("Passive", 0x6803200D, kBooleanType, Access::kReadWrite),
    Property("PassiveMode", 0x680320B5, kBooleanType, Access::kWrite),
    Property("MKDCheck", 0x6803200B, kBooleanType, Access::kWrite),
    Property("MKDInfo", 0x6803200A, kStringType, Access::kWrite),
    Property("MaxSpeed", 0x68032009, kLongType, Access::kWrite),
    Property("Rcvbuf", 0x68032008, kLongType, Access::kWriteRead),
    Property("Sndbuf", 0x68032007, kLongType, Access::kWriteRead),
    Property("Timeout", 0x68032006, kIntegerType, Access::kWriteRead),
    Property("RedoTimes", 0x68032005, kIntegerType, Access::kWrite),
    Property("AllowType", 0x68032004, kStringType, Access::kReadWrite),
    Property("DenyType", 0x68032003, kStringType, Access::kReadWrite),
    Property("MaxSize", 0x68032002, kDoubleType, Access::kWrite),
    Property("FtpState", 0x68032001, EnumType(kFtpStatesType), Access::kRead),
    Property("MessageInfo", 0x68032000, kStringType, Access::kRead),
    Property("MessageType", 0x68031FFF, kIntegerType, Access::kRead),
    Property("ErrorNumber", 0x68031FFD, kLongType, Access::kRead),
    Property("ErrorInfo", 0x68031FFC, kStringType, Access::kRead),
    Property("Busy", 0x68031FFB, kBooleanType, Access::kRead),
    Property("Connected", 0x68031FFA, kBooleanType, Access::kRead),
    Property("CacheFileList", 0x68031FF9, kBooleanType, Access::kWrite),
    Property("CreateSourceFolder", 0x68031FF8, kBooleanType, Access::kWrite),
    Property("Title", 0x68031FF7, kStringType, Access::kWriteRead),
    Property("QueueIndex", 0x68031FF5, kLongType, Access::kRead),
    Property("QueueTotal", 0x68031FF4, kLongType, Access::kRead),
    Property("TransferredLocalFiles", 0x68031FF3, kStringType, Access::kRead),
    Property("TransferredRemoteFiles", 0x68031FF2, kStringType, Access::kRead),
    Property("SkippedFiles", 0x68031FF1, kStringType, Access::kRead),
    Property("Encoding", 0x68031FEF, kStringType, Access::kWrite),
    Property("UTF8", 0x680320B1, kBooleanType, Access::kWrite),
    Property("Speed", 0x68031FEE, kLongType, Access::kRead),
    Property("SpeedAvg", 0x68031FED, kLongType, Access::kRead),
    Property("TotalElapsedTime", 0x68031FEC, kLongType, Access::kRead),
    Property("ElapsedTime", 0x68031FEB, kLongType, Access::kRead),
    Property("LeftTime", 0x68031FEA, kLongType, Access::kRead),
    Property("RemovedFiles", 0x68031FE9, kStringType, Access::kRead),
    Property("AbortedFiles", 0x68031FE8, kStringType, Access::kRead),
    Property("Version", 0x68031FE7, kStringType, Access::kRead),
    Property("TranstatePath", 0x68031FE6, kStringType, Access::kWrite),
    Property("KeepAliveCommand", 0x68031FE5, kStringType, Access::kWrite),
    Property("KeepAliveInterval", 0x68031FE4, kIntegerType, Access::kWrite),
    Property("ListAll", 0x68031FE3, kBooleanType, Access::kWrite),
    Property("ListCommand", 0x68031FE2, kStringType, Access::kWrite),
    Property("ListSuffix", 0x68031FE0, kStringType, Access::kWrite),
    Property("ListWorkingDir", 0x68031FDD, kBooleanType, Access::kWrite),
    Property("LangInfo", 0x68031FDC, kStringType, Access::kWriteRead),
    Property("Lype", 0x68031FD9, kIntegerType, Access::kWrite),
    Property("ShowCmd", 0x68031FD8, kIntegerType, Access::kWrite),
    Property("ProxyHost", 0x68031FD7, kStringType, Access::kReadWrite),
    Property("ProxyPort", 0x68031FD6, kLongType, Access::kReadWrite),
};

inline constexpr TypeInfo kFtpLibraryInterface{
    .name = "_FtpLibrary",
    .kind = TypeKind::kInterface,
    .guid = MakeGuid("{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}"),
    .members = kFtpLibraryMembers};

// Outgoing events, all without arguments: the host reads properties in its handler.
inline constexpr MemberInfo kFtpLibraryEventMembers[] = {
    Method("OnTransfer", 1, kVoidType),
    Method("OnServerMessage", 2, kVoidType),
    Method("OnStateChange", 3, kVoidType),
    Method("OnError", 4, kVoidType),
};
inline constexpr TypeInfo kFtpLibraryEvents{
    .name = "__FtpLibrary",
    .kind = TypeKind::kEventInterface,
    .guid = MakeGuid("{883BADBE-E6B4-4185-A982-23561CB976BE}"),
    .members = kFtpLibraryEventMembers};

inline constexpr ImplementedType kFtpLibraryImplements[] = {
    {&kFtpLibraryInterface, IMPLTYPEFLAG_FDEFAULT},
    {&kFtpLibraryEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
};
inline constexpr TypeInfo kFtpLibraryClass{
    .name = "FtpLibrary",
    .kind = TypeKind::kClass,
    .guid = MakeGuid("{31AE647D-11D1-4E6A-BE2D-90157640019A}"),
    .implemented = kFtpLibraryImplements,
    .creatable = true,
    .help = "FtpLibrary"};

}  // namespace tarvik::automation
