#include "control/automation/ftp_library_object.h"

#include <string>
#include <string_view>

#include "control/application_title.h"
#include "control/automation/listing_objects.h"
#include "platform/loop/message_loop.h"
#include "platform/ui/ui_provider.h"

namespace tarvik::automation {

using platform::com::E_POINTER;
using platform::com::IDispatch;
using platform::com::MakeObject;
using platform::com::S_OK;

namespace {

using Self = FtpLibraryObject;

// The value type a put binding receives for a control setter taking `T`: texts arrive as
// std::string (variants hold strings), everything else as is.
template <typename T>
struct PutValue {
  using type = T;
};
template <>
struct PutValue<std::string_view> {
  using type = const std::string&;
};

template <typename T>
T SetterArgument(void (FtpLibrary::*)(T));

// A get binding that reads the control's getter `Getter` (const or not).
template <auto Getter>
auto Read() {
  return [](Self& self) { return (self.control().*Getter)(); };
}

// A put binding that hands the new value to the control's setter `Setter`.
template <auto Setter>
auto Write() {
  using Value = typename PutValue<decltype(SetterArgument(Setter))>::type;
  return [](Self& self, Value value) { (self.control().*Setter)(value); };
}

// The about box: the library's name and version, captioned with the library's title like every
// box of the library, modal until the host's container answers it.
void ShowAboutBox(const std::string& version) {
  platform::MessageBox("TarvikFtp\r\nFTP client control\r\nVersion " + version, ApplicationTitle(),
                       platform::MB_OK | platform::MB_ICONINFORMATION);
}

// Bindings of the properties the control has.
DispatchTable<Self>& BindProperties(DispatchTable<Self>& table) {
  using L = FtpLibrary;
  return table.Put("SFDFileName", Write<&L::put_SFDFileName>())
      .Put("SFDFilter", Write<&L::put_SFDFilter>())
      .Put("SFDInitialDir", Write<&L::put_SFDInitialDir>())
      .Put("SFDMultiple", Write<&L::put_SFDMultiple>())
      .Put("SFDTitle", Write<&L::put_SFDTitle>())
      .Get("ServerName", Read<&L::get_ServerName>())
      .Put("ServerName", Write<&L::put_ServerName>())
      .Get("Username", Read<&L::get_Username>())
      .Put("Username", Write<&L::put_Username>())
      .Get("Password", Read<&L::get_Password>())
      .Put("Password", Write<&L::put_Password>())
      .Get("Port", Read<&L::get_Port>())
      .Put("Port", Write<&L::put_Port>())
      .Put("RemotePort", Write<&L::put_RemotePort>())
      .Get("RemotePath", Read<&L::get_RemotePath>())
      .Put("RemotePath", Write<&L::put_RemotePath>())
      .Get("LocalPath", Read<&L::get_LocalPath>())
      .Put("LocalPath", Write<&L::put_LocalPath>())
      .Get("Overwrite", Read<&L::get_Overwrite>())
      .Put("Overwrite", Write<&L::put_Overwrite>())
      .Get("ReplaceIndex", Read<&L::get_ReplaceIndex>())
      .Put("ReplaceIndex", Write<&L::put_ReplaceIndex>())
      .Put("ReplaceSetting", Write<&L::put_ReplaceSetting>())
      .Get("RenameRule", Read<&L::get_RenameRule>())
      .Put("RenameRule", Write<&L::put_RenameRule>())
      .Get("Percent", Read<&L::get_Percent>())
      .Put("Percent", Write<&L::put_Percent>())
      .Get("TransferredSize", Read<&L::get_TransferredSize>())
      .Get("TransferSize", Read<&L::get_TransferSize>())
      .Put("ShowTotalProgress", Write<&L::put_ShowTotalProgress>())
      .Get("TotalPercent", Read<&L::get_TotalPercent>())
      .Get("TotalTransferredSize", Read<&L::get_TotalTransferredSize>())
      .Get("TotalFileSize", Read<&L::get_TotalFileSize>())
      .Get("TransferState", Read<&L::get_TransferState>())
      .Put("WithoutList", Write<&L::put_WithoutList>())
      .Put("EnableLog", Write<&L::put_EnableLog>())
      .Get("FileSize", Read<&L::get_FileSize>())
      .Get("TransferMode", Read<&L::get_TransferMode>())
      .Put("TransferMode", Write<&L::put_TransferMode>())
      .Get("Passive", Read<&L::get_Passive>())
      .Put("Passive", Write<&L::put_Passive>())
      .Put("PassiveMode", Write<&L::put_PassiveMode>())
      .Put("MKDCheck", Write<&L::put_MKDCheck>())
      .Put("MKDInfo", Write<&L::put_MKDInfo>())
      .Put("MaxSpeed", Write<&L::put_MaxSpeed>())
      .Put("Rcvbuf", Write<&L::put_Rcvbuf>())
      .Get("Rcvbuf", Read<&L::get_Rcvbuf>())
      .Put("Sndbuf", Write<&L::put_Sndbuf>())
      .Get("Sndbuf", Read<&L::get_Sndbuf>())
      .Put("Timeout", Write<&L::put_Timeout>())
      .Get("Timeout", Read<&L::get_Timeout>())
      .Put("RedoTimes", Write<&L::put_RedoTimes>())
      .Get("AllowType", Read<&L::get_AllowType>())
      .Put("AllowType", Write<&L::put_AllowType>())
      .Get("DenyType", Read<&L::get_DenyType>())
      .Put("DenyType", Write<&L::put_DenyType>())
      .Put("MaxSize", Write<&L::put_MaxSize>())
      .Get("FtpState", Read<&L::get_FtpState>())
      .Get("MessageInfo", Read<&L::get_MessageInfo>())
      .Get("MessageType", Read<&L::get_MessageType>())
      .Get("ErrorNumber", Read<&L::get_ErrorNumber>())
      .Get("ErrorInfo", Read<&L::get_ErrorInfo>())
      .Get("Busy", Read<&L::get_Busy>())
      .Get("Connected", Read<&L::get_Connected>())
      .Put("CacheFileList", Write<&L::put_CacheFileList>())
      .Put("CreateSourceFolder", Write<&L::put_CreateSourceFolder>())
      .Put("Title", Write<&L::put_Title>())
      .Get("Title", Read<&L::get_Title>())
      .Get("QueueIndex", Read<&L::get_QueueIndex>())
      .Get("QueueTotal", Read<&L::get_QueueTotal>())
      .Get("TransferredLocalFiles", Read<&L::get_TransferredLocalFiles>())
      .Get("TransferredRemoteFiles", Read<&L::get_TransferredRemoteFiles>())
      .Get("SkippedFiles", Read<&L::get_SkippedFiles>())
      .Put("Encoding", Write<&L::put_Encoding>())
      .Put("UTF8", Write<&L::put_UTF8>())
      .Get("Speed", Read<&L::get_Speed>())
      .Get("SpeedAvg", Read<&L::get_SpeedAvg>())
      .Get("TotalElapsedTime", Read<&L::get_TotalElapsedTime>())
      .Get("ElapsedTime", Read<&L::get_ElapsedTime>())
      .Get("LeftTime", Read<&L::get_LeftTime>())
      .Get("RemovedFiles", Read<&L::get_RemovedFiles>())
      .Get("AbortedFiles", Read<&L::get_AbortedFiles>())
      .Get("Version", Read<&L::get_Version>())
      .Put("TranstatePath", Write<&L::put_TranstatePath>())
      .Put("KeepAliveCommand", Write<&L::put_KeepAliveCommand>())
      .Put("KeepAliveInterval", Write<&L::put_KeepAliveInterval>())
      .Put("ListAll", Write<&L::put_ListAll>())
      .Put("ListCommand", Write<&L::put_ListCommand>())
      .Put("ListSuffix", Write<&L::put_ListSuffix>())
      .Put("ListWorkingDir", Write<&L::put_ListWorkingDir>())
      .Put("LangInfo", Write<&L::put_LangInfo>())
      .Get("LangInfo", Read<&L::get_LangInfo>())
      .Put("Lype", Write<&L::put_Lype>())
      .Put("ShowCmd", Write<&L::put_ShowCmd>())
      .Get("ProxyHost", Read<&L::get_ProxyHost>())
      .Put("ProxyHost", Write<&L::put_ProxyHost>())
      .Get("ProxyPort", Read<&L::get_ProxyPort>())
      .Put("ProxyPort", Write<&L::put_ProxyPort>());
}

// Bindings of the session methods the control has.
DispatchTable<Self>& BindSessionMethods(DispatchTable<Self>& table) {
  return table.Method("Disconnect", [](Self& self) { return self.control().Disconnect(); })
      .Method("CloseConnection", [](Self& self) { return self.control().CloseConnection(); })
      .Method("Connect", [](Self& self) { return self.control().Connect(); })
      .Method("Abort", [](Self& self) { return self.control().Abort(); })
      .Method("AbortCurrent", [](Self& self) { self.control().AbortCurrent(); })
      .Method("SendCommand",
              [](Self& self, const std::string& FtpCmd, const std::string& Arguments) {
                return self.control().SendCommand(FtpCmd, Arguments);
              })
      .Method("GetCurrentDirectory",
              [](Self& self) { return self.control().GetCurrentDirectory(); })
      .Method("About", [](Self& self) { ShowAboutBox(self.control().get_Version()); });
}

// A listing result as the automation object hosts receive; Nothing for none.
ComPtr<IDispatch> FilesObject(std::shared_ptr<CFtpFiles> files) {
  if (!files) return nullptr;
  return ComPtr<IDispatch>(MakeObject<CFtpFilesObject>(std::move(files)));
}
ComPtr<IDispatch> FileObject(std::shared_ptr<CFtpFile> file) {
  if (!file) return nullptr;
  return ComPtr<IDispatch>(MakeObject<CFtpFileObject>(std::move(file)));
}

// Bindings of the listings and the remote file and folder operations.
DispatchTable<Self>& BindRemoteMethods(DispatchTable<Self>& table) {
  using S = const std::string&;
  return table
      .Method("ExistFile",
              [](Self& self, S FileName) { return self.control().ExistFile(FileName); })
      .Method("GetFileSize",
              [](Self& self, S FilePath) { return self.control().GetFileSize(FilePath); })
      .Method("GetFtpFileSize",
              [](Self& self, S FilePath) { return self.control().GetFtpFileSize(FilePath); })
      .Method("GetFileInfo",
              [](Self& self, S FilePath) { return self.control().GetFileInfo(FilePath); })
      .Method("GetFtpFileInfo",
              [](Self& self, S FilePath) {
                return FileObject(self.control().GetFtpFileInfo(FilePath));
              })
      .Method("GetFileList",
              [](Self& self, S DirectoryPath) { return self.control().GetFileList(DirectoryPath); })
      .Method("GetFtpDirectoryInfo",
              [](Self& self, S DirectoryPath) {
                return FilesObject(self.control().GetFtpDirectoryInfo(DirectoryPath));
              })
      .Method(
          "ExistDirectory",
          [](Self& self, S DirectoryName) { return self.control().ExistDirectory(DirectoryName); })
      .Method(
          "CreateDirectory",
          [](Self& self, S DirectoryPath) { return self.control().CreateDirectory(DirectoryPath); })
      .Method(
          "RemoveDirectory",
          [](Self& self, S DirectoryPath) { return self.control().RemoveDirectory(DirectoryPath); })
      .Method("DeleteFile",
              [](Self& self, S FilePath) { return self.control().DeleteFile(FilePath); })
      .Method("RenameFile",
              [](Self& self, S OldFileName, S NewFileName) {
                return self.control().RenameFile(OldFileName, NewFileName);
              })
      .Method("SetCurrentDirectory", [](Self& self, S DirectoryPath) {
        return self.control().SetCurrentDirectory(DirectoryPath);
      });
}

// Bindings of the transfers and the size and time texts.
DispatchTable<Self>& BindTransferMethods(DispatchTable<Self>& table) {
  return table.Method("Download", [](Self& self) { return self.control().Download(); })
      .Method("Upload", [](Self& self) { return self.control().Upload(); })
      .Method("QueueAppend",
              [](Self& self, const std::string& FilePath) { self.control().QueueAppend(FilePath); })
      .Method("QueueRemove",
              [](Self& self, const std::string& FilePath) { self.control().QueueRemove(FilePath); })
      .Method("FormatSize",
              [](Self& self, double FileSize) { return self.control().FormatSize(FileSize); })
      .Method("FormatFileSize",
              [](Self& self, double FileSize) { return self.control().FormatFileSize(FileSize); })
      .Method("FormatTime",
              [](Self& self, std::int32_t Seconds) { return self.control().FormatTime(Seconds); });
}

// Bindings of the local file methods, offered unchanged. LocalFileRead's path and
// LocalFileWrite's text are in/out parameters of the interface; the methods leave them as given.
DispatchTable<Self>& BindLocalMethods(DispatchTable<Self>& table) {
  using S = const std::string&;
  return table
      .Method("GetFileName",
              [](Self& self, S FilePath) { return self.local().GetFileName(FilePath); })
      .Method("GetFileNameWithoutExt",
              [](Self& self, S FilePath) { return self.local().GetFileNameWithoutExt(FilePath); })
      .Method("GetFileExtension",
              [](Self& self, S FilePath) { return self.local().GetFileExtension(FilePath); })
      .Method("GetParentPath",
              [](Self& self, S FolderPath) { return self.local().GetParentPath(FolderPath); })
      .Method("LocalFileExists",
              [](Self& self, S FilePath) { return self.local().LocalFileExists(FilePath); })
      .Method("LocalFolderExists",
              [](Self& self, S FolderPath) { return self.local().LocalFolderExists(FolderPath); })
      .Method("LocalFileCreate",
              [](Self& self, S FilePath) { return self.local().LocalFileCreate(FilePath); })
      .Method("LocalFolderCreate",
              [](Self& self, S FolderPath) { return self.local().LocalFolderCreate(FolderPath); })
      .Method("LocalFileDelete",
              [](Self& self, S FilePath) { return self.local().LocalFileDelete(FilePath); })
      .Method(
          "LocalFileRead",
          [](Self& self, std::string& FilePath) { return self.local().LocalFileRead(FilePath); })
      .Method("LocalFileWrite",
              [](Self& self, S FilePath, std::string& Text, bool Overwrite) {
                return self.local().LocalFileWrite(FilePath, Text, Overwrite);
              })
      .Method("GetLocalFileSize",
              [](Self& self, S FilePath) { return self.local().GetLocalFileSize(FilePath); })
      .Method("GetLocalFolderSize",
              [](Self& self, S FolderPath) { return self.local().GetLocalFolderSize(FolderPath); })
      .Method("GetLocalFileCount",
              [](Self& self, S FolderPath) { return self.local().GetLocalFileCount(FolderPath); })
      .Method("GetLocalFileDate",
              [](Self& self, S FilePath) { return self.local().GetLocalFileDate(FilePath); })
      .Method("GetLocalFileList",
              [](Self& self, S FolderPath) { return self.local().GetLocalFileList(FolderPath); });
}

// Bindings of the HTTP download.
DispatchTable<Self>& BindHttpMethods(DispatchTable<Self>& table) {
  return table.Method("DownloadHttpFile",
                      [](Self& self) { return self.control().DownloadHttpFile(); });
}

// Bindings of the registry methods. RegCreate's and RegExists' root and path and
// RegGetValueEx's value name are in/out parameters of the interface; the methods leave them as
// given.
DispatchTable<Self>& BindRegistryMethods(DispatchTable<Self>& table) {
  using S = const std::string&;
  using InOut = std::string&;
  return table
      .Method("RegCreate", [](Self& self, InOut hKey,
                              InOut SubKey) { return self.control().RegCreate(hKey, SubKey); })
      .Method("RegSetValue",
              [](Self& self, S hKey, S SubKey, S Value) {
                return self.control().RegSetValue(hKey, SubKey, Value);
              })
      .Method("RegSetValueEx",
              [](Self& self, S hKey, S SubKey, S name, S Value, S strType) {
                return self.control().RegSetValueEx(hKey, SubKey, name, Value, strType);
              })
      .Method("RegDelete",
              [](Self& self, S hKey, S SubKey) { return self.control().RegDelete(hKey, SubKey); })
      .Method(
          "RegDeleteValue",
          [](Self& self, S hKey, S SubKey) { return self.control().RegDeleteValue(hKey, SubKey); })
      .Method("RegDeleteValueEx",
              [](Self& self, S hKey, S SubKey, S name) {
                return self.control().RegDeleteValueEx(hKey, SubKey, name);
              })
      .Method("RegGetValue",
              [](Self& self, S hKey, S SubKey) { return self.control().RegGetValue(hKey, SubKey); })
      .Method("RegGetValueEx",
              [](Self& self, S hKey, S SubKey, InOut name) {
                return self.control().RegGetValueEx(hKey, SubKey, name);
              })
      .Method("RegExists", [](Self& self, InOut hKey, InOut SubKey) {
        return self.control().RegExists(hKey, SubKey);
      });
}

// Bindings of the dialogs and shell commands.
DispatchTable<Self>& BindDialogMethods(DispatchTable<Self>& table) {
  using S = const std::string&;
  return table
      .Method("ShowFolderBrowserDialog",
              [](Self& self) { return self.control().ShowFolderBrowserDialog(); })
      .Method("ShowBrowseFolderDialog",
              [](Self& self, S Title, S InitDir) {
                return self.control().ShowBrowseFolderDialog(Title, InitDir);
              })
      .Method("ShowSaveFileDialog",
              [](Self& self, S FileName) { return self.control().ShowSaveFileDialog(FileName); })
      .Method("ShowOpenFileDialog", [](Self& self) { return self.control().ShowOpenFileDialog(); })
      .Method("Execute", [](Self& self, S FilePath) { return self.control().Execute(FilePath); })
      .Method("Explore", [](Self& self, S FilePath) { return self.control().Explore(FilePath); })
      .Method("GetDriveNames", [](Self& self, std::int16_t DriveType) {
        return self.control().GetDriveNames(DriveType);
      });
}

}  // namespace

FtpLibraryObject::FtpLibraryObject() : local_({}, [] { platform::ProcessPendingMessages(); }) {
  control_.SetEventSink(this);
  control_.SetClientSite(this);
}

FtpLibraryObject::~FtpLibraryObject() {
  // The control's termination may still change its state: nobody hears it any more.
  events_.DisconnectAll();
  control_.SetEventSink(nullptr);
  control_.SetClientSite(nullptr);
  ReleaseSiteUiProvider();
}

const DispatchTable<FtpLibraryObject>& FtpLibraryObject::Bindings() {
  static const DispatchTable<Self> table = [] {
    DispatchTable<Self> bindings(kFtpLibraryClass);
    BindSessionMethods(bindings);
    BindRemoteMethods(bindings);
    BindTransferMethods(bindings);
    BindLocalMethods(bindings);
    BindRegistryMethods(bindings);
    BindDialogMethods(bindings);
    BindProperties(bindings);
    BindHttpMethods(bindings);
    return bindings;
  }();
  return table;
}

HRESULT FtpLibraryObject::SetClientSite(IOleClientSite* site) {
  ReleaseSiteUiProvider();
  site_ = ComPtr<IOleClientSite>(site);
  if (!site_) return S_OK;
  ComPtr<IUiProviderSite> ui_site;
  std::shared_ptr<platform::UiProvider> provider;
  if (platform::com::Succeeded(site_.As(&ui_site)) &&
      platform::com::Succeeded(ui_site->GetUiProvider(&provider)) && provider) {
    platform::SetUiProvider(std::move(provider));
    uses_site_ui_ = true;
  }
  return S_OK;
}

HRESULT FtpLibraryObject::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = ComPtr<IOleClientSite>(site_).Detach();
  return S_OK;
}

std::uintptr_t FtpLibraryObject::ContainerWindow() {
  ComPtr<IOleWindow> window;
  std::uintptr_t handle = 0;
  if (site_ && platform::com::Succeeded(site_.As(&window))) window->GetWindow(&handle);
  return handle;
}

void FtpLibraryObject::ReleaseSiteUiProvider() {
  if (!uses_site_ui_) return;
  platform::SetUiProvider(nullptr);
  uses_site_ui_ = false;
}

}  // namespace tarvik::automation
