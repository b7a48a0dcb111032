// The type information of the TarvikFtp library, walked the way a host walks it and compared with
// the published contract: every type with its identifier in library order, every function of each
// interface with its DISPID, parameters, result and accessor order, the events and the
// enumerations. The contract is written out here once more, as text, independently of the
// tables in control/automation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/automation/type_library.h"
#include "core/session/ftp_states.h"

namespace tarvik::automation {
namespace {

using platform::com::DISPATCH_METHOD;
using platform::com::DISPATCH_PROPERTYGET;
using platform::com::DISPATCH_PROPERTYPUT;
using platform::com::DispId;
using platform::com::FunctionInfo;
using platform::com::TypeRef;

struct ExpectedFunction {
  DispId id;
  std::string text;  // "method Name(Type Param, ...) -> Result", "get Name Type", "put Name Type"
};

std::string TypeText(const TypeRef& type) {
  if (type.type != nullptr) return std::string(type.type->name);
  return std::string(platform::com::VarTypeName(type.vt));
}

// One function of an interface in the notation of the tables below.
std::string Describe(const FunctionInfo& function) {
  const MemberInfo& member = *function.member;
  if (function.kind != DISPATCH_METHOD) {
    const char* accessor = function.kind == DISPATCH_PROPERTYGET   ? "get "
                           : function.kind == DISPATCH_PROPERTYPUT ? "put "
                                                                   : "putref ";
    std::string text = accessor + std::string(member.name);
    if (!member.params.empty()) {
      text += "(";
      for (std::size_t i = 0; i < member.params.size(); ++i) {
        if (i > 0) text += ", ";
        text += TypeText(member.params[i].type) + " " + std::string(member.params[i].name);
      }
      text += ")";
    }
    return text + " " + TypeText(member.type);
  }
  std::string text = "method " + std::string(member.name) + "(";
  for (std::size_t i = 0; i < member.params.size(); ++i) {
    const ParamInfo& param = member.params[i];
    if (i > 0) text += ", ";
    if (param.optional) text += "optional ";
    if (param.in_out) text += "in/out ";
    text += TypeText(param.type) + " " + std::string(param.name);
    if (param.has_default) text += " = \"" + std::string(param.default_text) + "\"";
  }
  text += ")";
  if (!member.type.is_void()) text += " -> " + TypeText(member.type);
  return text;
}

void ExpectFunctions(const TypeInfo& type, const std::vector<ExpectedFunction>& expected) {
  const std::vector<FunctionInfo> functions = type.Functions();
  ASSERT_EQ(functions.size(), expected.size()) << type.name;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(std::string(type.name) + " function " + std::to_string(i + 1));
    EXPECT_EQ(Describe(functions[i]), expected[i].text);
    EXPECT_EQ(functions[i].member->id, expected[i].id) << expected[i].text;
  }
}

TEST(TypeLibraryTest, NamesTheLibraryAndListsItsTypesInOrder) {
  EXPECT_EQ(kTarvikFtpLibrary.name, "TarvikFtp");
  EXPECT_EQ(kTarvikFtpLibrary.help, "TarvikFtp");
  EXPECT_FALSE(kTarvikFtpLibrary.guid.is_null());
  struct ExpectedType {
    const char* name;
    TypeKind kind;
    const char* guid;
  };
  const ExpectedType expected[] = {
      {"_FtpLibrary", TypeKind::kInterface, "{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}"},
      {"FtpLibrary", TypeKind::kClass, "{31AE647D-11D1-4E6A-BE2D-90157640019A}"},
      {"_CFtpFile", TypeKind::kInterface, "{3D5AC16E-0CE7-494E-A866-980F6EC88B4A}"},
      {"CFtpFile", TypeKind::kClass, "{77A33D38-4008-45FF-BFA3-E63DC40DFD0D}"},
      {"_CFtpFiles", TypeKind::kInterface, "{96F56F20-F037-4444-97AC-410583D2F9AB}"},
      {"CFtpFiles", TypeKind::kClass, "{065946AA-A708-4A4B-BBE3-AF4851F0F7F1}"},
      {"__FtpLibrary", TypeKind::kEventInterface, "{883BADBE-E6B4-4185-A982-23561CB976BE}"},
      {"FtpStates", TypeKind::kEnum, "{F8739D1E-DD21-4BEA-934D-020745A00038}"},
      {"AsyncResultStatusConstants", TypeKind::kEnum, "{3322413F-7110-4B0C-B758-5E5869BD0E3F}"},
      {"FtpTransferModes", TypeKind::kEnum, "{5722161E-5844-49F5-8E93-D36CC64DE7F4}"},
      {"MessageTypes", TypeKind::kEnum, "{FA2821FE-1912-4FA5-83B7-270366D585A6}"},
      {"FolderItem", TypeKind::kEnum, "{952CE005-5364-4AFD-997E-2AEDE0F613FA}"},
  };
  ASSERT_EQ(kTarvikFtpLibrary.types.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const TypeInfo& type = *kTarvikFtpLibrary.types[i];
    EXPECT_EQ(type.name, expected[i].name) << "type " << i + 1;
    EXPECT_EQ(type.kind, expected[i].kind) << expected[i].name;
    EXPECT_EQ(type.guid.ToString(), expected[i].guid) << expected[i].name;
    EXPECT_EQ(kTarvikFtpLibrary.Find(type.guid), &type) << expected[i].name;
  }
}

TEST(TypeLibraryTest, ClassesNameTheirInterfacesAndEvents) {
  EXPECT_EQ(kFtpLibraryClass.DefaultInterface(), &kFtpLibraryInterface);
  EXPECT_EQ(kFtpLibraryClass.DefaultSource(), &kFtpLibraryEvents);
  EXPECT_TRUE(kFtpLibraryClass.creatable);
  EXPECT_EQ(kCFtpFileClass.DefaultInterface(), &kCFtpFileInterface);
  EXPECT_EQ(kCFtpFilesClass.DefaultInterface(), &kCFtpFilesInterface);
  // Only the control is made by the class factory; entries come from listings.
  EXPECT_FALSE(kCFtpFileClass.creatable);
  EXPECT_FALSE(kCFtpFilesClass.creatable);
  EXPECT_EQ(kCFtpFileClass.DefaultSource(), nullptr);
  const platform::com::ServerModule& module = TarvikFtpModule();
  EXPECT_EQ(module.library, &kTarvikFtpLibrary);
  ASSERT_EQ(module.classes.size(), 1u);
  EXPECT_EQ(module.classes[0].type, &kFtpLibraryClass);
  EXPECT_EQ(module.classes[0].prog_id, "TarvikFtp.FtpLibrary");
  EXPECT_TRUE(module.classes[0].is_control);
}

TEST(TypeLibraryTest, FtpLibraryInterfaceHasEveryFunctionInOrder) {
  const std::vector<ExpectedFunction> expected = {
      {0x60032027, "method Download() -> Boolean"},
      {0x6003202A, "method Upload() -> Boolean"},
      {0x6003202D, "method QueueAppend(String FilePath)"},
      {0x6003202E, "method QueueRemove(String FilePath)"},
      {0x60032043, "method Disconnect() -> Boolean"},
      {0x600320D1, "method CloseConnection() -> Boolean"},
      {0x6003204D, "method Connect() -> Boolean"},
      {0x60032051, "method Abort() -> Boolean"},
      {0x60032052, "method AbortCurrent()"},
      {0x6003205F, "method FormatSize(Double FileSize) -> String"},
      {0x600320EB, "method FormatFileSize(Double FileSize) -> String"},
      {0x60032061, "method FormatTime(Long Seconds) -> String"},
      {0x60032062, "method ShowFolderBrowserDialog() -> String"},
      {0x600320ED,
       "method ShowBrowseFolderDialog(optional String Title = \"\", optional String InitDir = "
       "\"\") -> String"},
      {0x60032063, "method ShowSaveFileDialog(String FileName) -> String"},
      {0x60032064, "method ShowOpenFileDialog() -> String"},
      {0x6003206A, "method About()"},
      {0x60032076, "method ExistFile(String FileName) -> Boolean"},
      {0x60032077, "method GetFileSize(String FilePath) -> Double"},
      {0x60032078, "method GetFtpFileSize(String FilePath) -> Double"},
      {0x60032079, "method GetFileInfo(String FilePath) -> String"},
      {0x6003207A, "method GetFtpFileInfo(String FilePath) -> CFtpFile"},
      {0x6003207C, "method GetFileList(String DirectoryPath) -> String"},
      {0x6003207D, "method GetFtpDirectoryInfo(optional String DirectoryPath = \"\") -> CFtpFiles"},
      {0x6003207E, "method ExistDirectory(String DirectoryName) -> Boolean"},
      {0x6003207F, "method CreateDirectory(String DirectoryPath) -> Boolean"},
      {0x60032080, "method RemoveDirectory(String DirectoryPath) -> Boolean"},
      {0x60032082, "method DeleteFile(String FilePath) -> Boolean"},
      {0x60032083, "method RenameFile(String OldFileName, String NewFileName) -> Boolean"},
      {0x60032084, "method SendCommand(String FtpCmd, String Arguments) -> String"},
      {0x60032085, "method SetCurrentDirectory(String DirectoryPath) -> Boolean"},
      {0x60032086, "method GetCurrentDirectory() -> String"},
      {0x6003208B, "method GetFileName(String FilePath) -> String"},
      {0x6003208C, "method GetFileNameWithoutExt(String FilePath) -> String"},
      {0x6003208D, "method GetFileExtension(String FilePath) -> String"},
      {0x6003208E, "method GetParentPath(String FolderPath) -> String"},
      {0x6003208F, "method LocalFileExists(String FilePath) -> Boolean"},
      {0x60032090, "method LocalFolderExists(String FolderPath) -> Boolean"},
      {0x60032091, "method LocalFileCreate(String FilePath) -> Boolean"},
      {0x60032092, "method LocalFolderCreate(String FolderPath) -> Boolean"},
      {0x60032093, "method LocalFileDelete(String FilePath) -> Boolean"},
      {0x60032094, "method LocalFileRead(in/out String FilePath) -> String"},
      {0x60032095,
       "method LocalFileWrite(String FilePath, in/out String Text, Boolean Overwrite) -> Boolean"},
      {0x60032096, "method GetLocalFileSize(String FilePath) -> Double"},
      {0x60032097, "method GetLocalFolderSize(String FolderPath) -> Double"},
      {0x60032098, "method GetLocalFileCount(String FolderPath) -> Double"},
      {0x60032099, "method GetLocalFileDate(String FilePath) -> String"},
      {0x6003209A, "method GetLocalFileList(String FolderPath) -> String"},
      {0x6003209B, "method Execute(String FilePath) -> Long"},
      {0x6003209C, "method Explore(String FilePath) -> Boolean"},
      {0x6003209D, "method GetDriveNames(Integer DriveType) -> String"},
      {0x6003209E, "method DownloadHttpFile() -> Boolean"},
      {0x600320A5, "method RegCreate(in/out String hKey, in/out String SubKey) -> Boolean"},
      {0x600320A6, "method RegSetValue(String hKey, String SubKey, String Value) -> Boolean"},
      {0x600320A7,
       "method RegSetValueEx(String hKey, String SubKey, String name, String Value, String "
       "strType) -> Boolean"},
      {0x600320A8, "method RegDelete(String hKey, String SubKey) -> Boolean"},
      {0x600320A9, "method RegDeleteValue(String hKey, String SubKey) -> Boolean"},
      {0x600320AA, "method RegDeleteValueEx(String hKey, String SubKey, String name) -> Boolean"},
      {0x600320AB, "method RegGetValue(String hKey, String SubKey) -> String"},
      {0x600320AC,
       "method RegGetValueEx(String hKey, String SubKey, in/out String name) -> String"},
      {0x600320AD, "method RegExists(in/out String hKey, in/out String SubKey) -> Boolean"},
      {0x68032026, "put SFDFileName String"},
      {0x68032025, "put SFDFilter String"},
      {0x68032024, "put SFDInitialDir String"},
      {0x68032023, "put SFDMultiple Boolean"},
      {0x68032022, "put SFDTitle String"},
      {0x68032021, "get ServerName String"},
      {0x68032021, "put ServerName String"},
      {0x68032020, "get Username String"},
      {0x68032020, "put Username String"},
      {0x6803201F, "get Password String"},
      {0x6803201F, "put Password String"},
      {0x6803201E, "get Port Long"},
      {0x6803201E, "put Port Long"},
      {0x680320B8, "put RemotePort Long"},
      {0x6803201D, "get RemotePath String"},
      {0x6803201D, "put RemotePath String"},
      {0x6803201C, "get LocalPath String"},
      {0x6803201C, "put LocalPath String"},
      {0x6803201B, "get Overwrite Boolean"},
      {0x6803201B, "put Overwrite Boolean"},
      {0x6803201A, "get ReplaceIndex Integer"},
      {0x6803201A, "put ReplaceIndex Integer"},
      {0x680320B7, "put ReplaceSetting Integer"},
      {0x68032019, "get RenameRule String"},
      {0x68032019, "put RenameRule String"},
      {0x68032018, "get Percent Integer"},
      {0x68032018, "put Percent Integer"},
      {0x68032017, "get TransferredSize Double"},
      {0x680320B6, "get TransferSize Double"},
      {0x68032016, "put ShowTotalProgress Boolean"},
      {0x68032015, "get TotalPercent Integer"},
      {0x68032014, "get TotalTransferredSize Double"},
      {0x68032013, "get TotalFileSize Double"},
      {0x68032012, "get TransferState String"},
      {0x68032011, "put WithoutList Boolean"},
      {0x68032010, "put EnableLog Boolean"},
      {0x6803200F, "get FileSize Double"},
      {0x6803200E, "get TransferMode FtpTransferModes"},
      {0x6803200E, "put TransferMode FtpTransferModes"},
      {0x6803200D, "get Passive Boolean"},
      {0x6803200D, "put Passive Boolean"},
      {0x680320B5, "put PassiveMode Boolean"},
      {0x6803200B, "put MKDCheck Boolean"},
      {0x6803200A, "put MKDInfo String"},
      {0x68032009, "put MaxSpeed Long"},
      {0x68032008, "put Rcvbuf Long"},
      {0x68032008, "get Rcvbuf Long"},
      {0x68032007, "put Sndbuf Long"},
      {0x68032007, "get Sndbuf Long"},
      {0x68032006, "put Timeout Integer"},
      {0x68032006, "get Timeout Integer"},
      {0x68032005, "put RedoTimes Integer"},
      {0x68032004, "get AllowType String"},
      {0x68032004, "put AllowType String"},
      {0x68032003, "get DenyType String"},
      {0x68032003, "put DenyType String"},
      {0x68032002, "put MaxSize Double"},
      {0x68032001, "get FtpState FtpStates"},
      {0x68032000, "get MessageInfo String"},
      {0x68031FFF, "get MessageType Integer"},
      {0x68031FFD, "get ErrorNumber Long"},
      {0x68031FFC, "get ErrorInfo String"},
      {0x68031FFB, "get Busy Boolean"},
      {0x68031FFA, "get Connected Boolean"},
      {0x68031FF9, "put CacheFileList Boolean"},
      {0x68031FF8, "put CreateSourceFolder Boolean"},
      {0x68031FF7, "put Title String"},
      {0x68031FF7, "get Title String"},
      {0x68031FF5, "get QueueIndex Long"},
      {0x68031FF4, "get QueueTotal Long"},
      {0x68031FF3, "get TransferredLocalFiles String"},
      {0x68031FF2, "get TransferredRemoteFiles String"},
      {0x68031FF1, "get SkippedFiles String"},
      {0x68031FEF, "put Encoding String"},
      {0x680320B1, "put UTF8 Boolean"},
      {0x68031FEE, "get Speed Long"},
      {0x68031FED, "get SpeedAvg Long"},
      {0x68031FEC, "get TotalElapsedTime Long"},
      {0x68031FEB, "get ElapsedTime Long"},
      {0x68031FEA, "get LeftTime Long"},
      {0x68031FE9, "get RemovedFiles String"},
      {0x68031FE8, "get AbortedFiles String"},
      {0x68031FE7, "get Version String"},
      {0x68031FE6, "put TranstatePath String"},
      {0x68031FE5, "put KeepAliveCommand String"},
      {0x68031FE4, "put KeepAliveInterval Integer"},
      {0x68031FE3, "put ListAll Boolean"},
      {0x68031FE2, "put ListCommand String"},
      {0x68031FE0, "put ListSuffix String"},
      {0x68031FDD, "put ListWorkingDir Boolean"},
      {0x68031FDC, "put LangInfo String"},
      {0x68031FDC, "get LangInfo String"},
      {0x68031FD9, "put Lype Integer"},
      {0x68031FD8, "put ShowCmd Integer"},
      {0x68031FD7, "get ProxyHost String"},
      {0x68031FD7, "put ProxyHost String"},
      {0x68031FD6, "get ProxyPort Long"},
      {0x68031FD6, "put ProxyPort Long"},
  };
  ExpectFunctions(kFtpLibraryInterface, expected);
}

TEST(TypeLibraryTest, CFtpFileInterfacePutsBeforeGets) {
  ExpectFunctions(kCFtpFileInterface, {
                                          {0x68030117, "put IsDirectory Boolean"},
                                          {0x68030117, "get IsDirectory Boolean"},
                                          {0x68030116, "put FileSize Double"},
                                          {0x68030116, "get FileSize Double"},
                                          {0x68030115, "put LastWriteTime String"},
                                          {0x68030115, "get LastWriteTime String"},
                                          {0x68030114, "put FileName String"},
                                          {0x68030114, "get FileName String"},
                                          {0x68030113, "put FilePath String"},
                                          {0x68030113, "get FilePath String"},
                                          {0x68030112, "put Permissions String"},
                                          {0x68030112, "get Permissions String"},
                                          {0x68030111, "put Owner String"},
                                          {0x68030111, "get Owner String"},
                                          {0x68030110, "put Group String"},
                                          {0x68030110, "get Group String"},
                                      });
}

TEST(TypeLibraryTest, CFtpFilesInterfaceListsTheCollectionMembers) {
  ExpectFunctions(kCFtpFilesInterface,
                  {
                      {0x600300DC, "method Add(CFtpFile oFtpFile, Variant vKey) -> CFtpFile"},
                      {0x680300DB, "get Item(Integer vntIndexKey) CFtpFile"},
                      {0x680300DA, "get ItemName(String vntName) CFtpFile"},
                      {0x680300D9, "get Count Integer"},
                      {0x600300DD, "method Remove(Integer vntIndexKey)"},
                      // An ordinary DISPID, not the standard enumerator's.
                      {0x680300D8, "get NewEnum Unknown"},
                  });
}

TEST(TypeLibraryTest, EventInterfaceHasFourEventsWithoutArguments) {
  ExpectFunctions(kFtpLibraryEvents, {
                                         {1, "method OnTransfer()"},
                                         {2, "method OnServerMessage()"},
                                         {3, "method OnStateChange()"},
                                         {4, "method OnError()"},
                                     });
}

struct ExpectedEnum {
  const TypeInfo* type;
  std::vector<std::pair<std::string, int>> values;
};

TEST(TypeLibraryTest, EnumerationsHaveTheirValues) {
  const ExpectedEnum expected[] = {
      {&kFtpStatesType,
       {{"ftpFreeState", 0},
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
        {"ftpGetFileSize", 20}}},
      {&kAsyncResultStatusType,
       {{"arStatusOk", 0}, {"arStatusError", 1}, {"arStatusTimeout", 2}, {"arStatusCancel", 3}}},
      {&kFtpTransferModesType, {{"FTP_ASCII_MODE", 0}, {"FTP_IMAGE_MODE", 1}}},
      {&kMessageTypesType,
       {{"FTP_USER_COMMAND", 0},
        {"FTP_SERVER_RESPONSE", 1},
        {"FTP_SERVER_BAD_RESPONSE", 2},
        {"FTP_APPLICATION_MESSAGE", 3}}},
      {&kFolderItemType,
       {{"Default", 0},
        {"Desktop", 1},
        {"Program", 2},
        {"ControlPanel", 3},
        {"Printers", 4},
        {"DocumentsFolder", 5},
        {"FavoritesFolder", 6},
        {"StartupFolder", 7},
        {"RecentFolder", 8},
        {"SendToFolder", 9},
        {"RecycleBin", 10},
        {"StartMenuFolder", 11},
        {"DesktopFolder", 16},
        {"MyComputer", 17},
        {"NetworkNeighborhood", 18},
        {"NetHoodFolder", 19},
        {"FontsFolder", 20},
        {"ShellNewFolder", 21}}},
  };
  for (const ExpectedEnum& entry : expected) {
    SCOPED_TRACE(std::string(entry.type->name));
    ASSERT_EQ(entry.type->values.size(), entry.values.size());
    for (std::size_t i = 0; i < entry.values.size(); ++i) {
      EXPECT_EQ(entry.type->values[i].name, entry.values[i].first);
      EXPECT_EQ(entry.type->values[i].value, entry.values[i].second) << entry.values[i].first;
    }
  }
}

// The public enumerations of the session and the published ones agree value for value.
TEST(TypeLibraryTest, SessionEnumerationsMatchThePublishedValues) {
  for (const platform::com::EnumValue& value : kFtpStatesType.values) {
    EXPECT_EQ(FtpStateName(static_cast<FtpStates>(value.value)), value.name);
  }
  EXPECT_EQ(static_cast<int>(FtpTransferModes::FTP_IMAGE_MODE),
            kFtpTransferModesType.FindValue("FTP_IMAGE_MODE")->value);
  EXPECT_EQ(static_cast<int>(MessageTypes::FTP_SERVER_BAD_RESPONSE),
            kMessageTypesType.FindValue("FTP_SERVER_BAD_RESPONSE")->value);
}

}  // namespace
}  // namespace tarvik::automation
