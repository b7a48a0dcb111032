// FtpLibrary: the control a host places and drives. Properties are get_/put_ members (the
// automation surface binds them by their published names), methods keep their published names,
// and the host hears from the control through FtpLibraryEvents.
//
// Every member runs on the thread that created the control. No member throws: a method that
// fails returns its failure value and leaves ErrorNumber/ErrorInfo for the host.
//
// Re-entrancy: the methods that talk to the server block while pumping the thread's messages, so
// the host's event handlers, socket notifications and the control's timers run inside them. A
// handler may read properties, call Abort or AbortCurrent; a second server method started from a
// handler fails with 16009 ("The previous operation is unfinished").
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "control/application_title.h"
#include "control/ftp_library_events.h"
#include "core/session/session_host.h"
#include "ftp/listing/ftp_files.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/transfer_engine.h"
#include "http/http_download.h"
#include "platform/loop/message_loop.h"
#include "platform/ui/top_level_windows.h"

namespace tarvik {

class FtpLibrary : private SessionHost {
 public:
  FtpLibrary();
  ~FtpLibrary();
  FtpLibrary(const FtpLibrary&) = delete;
  FtpLibrary& operator=(const FtpLibrary&) = delete;

  // The host's event handlers (nullptr: none) and its client site (nullptr: no site).
  void SetEventSink(FtpLibraryEvents* sink) { events_ = sink; }
  void SetClientSite(ClientSite* site) { site_ = site; }

  // ---- Methods ----
  bool Connect();
  bool Disconnect();
  bool CloseConnection();
  bool Abort();
  void AbortCurrent();
  std::string SendCommand(std::string_view FtpCmd, std::string_view Arguments);
  std::string GetCurrentDirectory();

  // ---- Transfers ----
  bool Download();
  bool Upload();
  void QueueAppend(std::string_view FilePath);
  void QueueRemove(std::string_view FilePath);
  std::string FormatSize(double FileSize);
  std::string FormatFileSize(double FileSize);
  std::string FormatTime(std::int32_t Seconds);

  // ---- HTTP downloads ----
  bool DownloadHttpFile();

  // ---- Remote listings ----
  std::shared_ptr<CFtpFiles> GetFtpDirectoryInfo(std::string_view DirectoryPath = {});
  std::shared_ptr<CFtpFile> GetFtpFileInfo(std::string_view FilePath);
  std::string GetFileList(std::string_view DirectoryPath);
  std::string GetFileInfo(std::string_view FilePath);

  // ---- Remote files and folders ----
  bool ExistFile(std::string_view FileName);
  double GetFileSize(std::string_view FilePath);
  double GetFtpFileSize(std::string_view FilePath);
  bool ExistDirectory(std::string_view DirectoryName);
  bool CreateDirectory(std::string_view DirectoryPath);
  bool RemoveDirectory(std::string_view DirectoryPath);
  bool DeleteFile(std::string_view FilePath);
  bool RenameFile(std::string_view OldFileName, std::string_view NewFileName);
  bool SetCurrentDirectory(std::string_view DirectoryPath);

  // ---- Registry (ftp_library_registry.cpp) ----
  bool RegCreate(std::string_view hKey, std::string_view SubKey);
  bool RegSetValue(std::string_view hKey, std::string_view SubKey, std::string_view Value);
  bool RegSetValueEx(std::string_view hKey, std::string_view SubKey, std::string_view name,
                     std::string_view Value, std::string_view strType);
  bool RegDelete(std::string_view hKey, std::string_view SubKey);
  bool RegDeleteValue(std::string_view hKey, std::string_view SubKey);
  bool RegDeleteValueEx(std::string_view hKey, std::string_view SubKey, std::string_view name);
  std::string RegGetValue(std::string_view hKey, std::string_view SubKey);
  std::string RegGetValueEx(std::string_view hKey, std::string_view SubKey, std::string_view name);
  bool RegExists(std::string_view hKey, std::string_view SubKey);

  // ---- Connection properties ----
  std::string get_ServerName() const;
  void put_ServerName(std::string_view value);
  std::string get_Username() const;
  void put_Username(std::string_view value);
  std::string get_Password() const;
  void put_Password(std::string_view value);
  std::int32_t get_Port() const;
  void put_Port(std::int32_t value);
  void put_RemotePort(std::int32_t value);
  std::int16_t get_Timeout() const;
  void put_Timeout(std::int16_t value);
  void put_Lype(std::int16_t value);
  void put_Encoding(std::string_view value);
  void put_UTF8(bool value);
  void put_KeepAliveCommand(std::string_view value);
  void put_KeepAliveInterval(std::int16_t value);

  // ---- Paths and transfer options ----
  std::string get_RemotePath() const;
  void put_RemotePath(std::string_view value);
  std::string get_LocalPath();
  void put_LocalPath(std::string_view value);
  bool get_Overwrite() const;
  void put_Overwrite(bool value);
  std::int16_t get_ReplaceIndex() const;
  void put_ReplaceIndex(std::int16_t value);
  void put_ReplaceSetting(std::int16_t value);
  std::string get_RenameRule() const;
  void put_RenameRule(std::string_view value);
  std::int32_t get_TransferMode() const;
  void put_TransferMode(std::int32_t value);
  bool get_Passive() const;
  void put_Passive(bool value);
  void put_PassiveMode(bool value);
  void put_MKDCheck(bool value);
  void put_MKDInfo(std::string_view value);
  void put_MaxSpeed(std::int32_t value);
  std::int32_t get_Rcvbuf() const;
  void put_Rcvbuf(std::int32_t value);
  std::int32_t get_Sndbuf() const;
  void put_Sndbuf(std::int32_t value);
  void put_RedoTimes(std::int16_t value);
  std::string get_AllowType() const;
  void put_AllowType(std::string_view value);
  std::string get_DenyType() const;
  void put_DenyType(std::string_view value);
  void put_MaxSize(double value);
  void put_WithoutList(bool value);
  void put_ShowTotalProgress(bool value);
  void put_CacheFileList(bool value);
  void put_CreateSourceFolder(bool value);
  void put_TranstatePath(std::string_view value);
  void put_ListAll(bool value);
  void put_ListCommand(std::string_view value);
  void put_ListSuffix(std::string_view value);
  void put_ListWorkingDir(bool value);

  // ---- Progress and results (read-only but Percent) ----
  std::int16_t get_Percent() const;
  void put_Percent(std::int16_t value);
  double get_TransferredSize() const;
  double get_TransferSize() const;
  double get_FileSize() const;
  std::int16_t get_TotalPercent() const;
  double get_TotalTransferredSize() const;
  double get_TotalFileSize() const;
  std::int32_t get_Speed() const;
  std::int32_t get_SpeedAvg() const;
  std::int32_t get_ElapsedTime() const;
  std::int32_t get_TotalElapsedTime() const;
  std::int32_t get_LeftTime() const;
  std::string get_TransferState() const;
  std::int32_t get_QueueIndex() const;
  std::int32_t get_QueueTotal();
  std::string get_TransferredLocalFiles();
  std::string get_TransferredRemoteFiles();
  std::string get_SkippedFiles();
  std::string get_RemovedFiles();
  std::string get_AbortedFiles();

  // ---- Session state ----
  FtpStates get_FtpState() const;
  std::string get_MessageInfo() const;
  std::int16_t get_MessageType() const;
  std::int32_t get_ErrorNumber() const;
  std::string get_ErrorInfo() const;
  bool get_Busy() const;
  bool get_Connected() const;
  std::string get_Version() const;

  // ---- Error record, log and texts ----
  void put_EnableLog(bool value);
  std::string get_LangInfo() const;
  void put_LangInfo(std::string_view value);

  // ---- Host conveniences ----
  std::string get_Title() const;
  void put_Title(std::string_view value);
  std::string get_ProxyHost() const;
  void put_ProxyHost(std::string_view value);
  std::int32_t get_ProxyPort() const;
  void put_ProxyPort(std::int32_t value);
  void put_ShowCmd(std::int16_t value);
  void put_SFDFileName(std::string_view value);
  void put_SFDFilter(std::string_view value);
  void put_SFDInitialDir(std::string_view value);
  void put_SFDMultiple(bool value);
  void put_SFDTitle(std::string_view value);

  // ---- Dialogs and shell ----
  std::string ShowFolderBrowserDialog();
  std::string ShowBrowseFolderDialog(std::string_view Title = {}, std::string_view InitDir = {});
  std::string ShowOpenFileDialog();
  std::string ShowSaveFileDialog(std::string_view FileName);
  std::int32_t Execute(std::string_view FilePath);
  bool Explore(std::string_view FilePath);
  std::string GetDriveNames(std::int16_t DriveType);
  // Keeps `window` above all others (`on`) or lets it go, keeping its place and size.
  static bool SetWindowTopMost(platform::TopLevelWindow window, bool on);
  // SetWindowTopMost for the top-level window with exactly the title `title`; false without one.
  static bool SetWindowTopMostByTitle(std::string_view title, bool on);

  // The host loading the control from its property bag: only makes sure the helper objects
  // exist; no value is read.
  void ReadProperties();

  // The session the control drives (for the parts of the library built on it).
  FtpSession& Session() { return session_; }

 private:
  // SessionHost
  void RaiseStateChange() override;
  void RaiseServerMessage() override;
  void RaiseTransfer() override;
  void SetTimersEnabled(bool enabled) override;
  std::uintptr_t ContainerWindowFromSite() override;
  // TimerWinOnTop: raises every window of the list of windows to raise, then empties it.
  void TimerWinOnTopTick();

  FtpSession session_;
  TransferEngine transfer_;
  HttpDownload http_;
  FtpLibraryEvents* events_ = nullptr;
  ClientSite* site_ = nullptr;
  // Hidden window that owns the control's timers: the keep-alive tick (Timer1), the transfer
  // watchdog (Timeouter) and the tick that keeps the control's dialogs on top (TimerWinOnTop).
  platform::WindowHandle timer_window_ = 0;

  HttpProxy proxy_;  // ProxyHost, ProxyPort
  // Values kept for the parts of the library that use them (dialogs, shell).
  std::int16_t show_cmd_ = 0;
  std::string sfd_file_name_;
  std::string sfd_filter_;
  std::string sfd_initial_dir_;
  bool sfd_multiple_ = false;
  std::string sfd_title_;
};

}  // namespace tarvik
