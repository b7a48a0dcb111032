// The properties of FtpLibrary: each write applies its rule (control/property_rules.h) and
// stores the value where the session reads it.
#include <cmath>

#include "control/ftp_library.h"
#include "control/property_rules.h"
#include "core/errors/error_record.h"
#include "core/errors/message_table.h"
#include "core/transfer/transfer_progress.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/session/scrambled_text.h"
#include "ftp/session/server_name.h"
#include "local/path_rules.h"
#include "platform/text/ascii_text.h"
#include "platform/text/code_page.h"

namespace tarvik {
namespace {

// A leading "|" is dropped from a result list, and the shortened list kept.
std::string WithoutLeadingBar(std::string& list) {
  if (!list.empty() && list.front() == '|') list.erase(0, 1);
  return list;
}

std::int32_t RoundToLong(double value) {
  return static_cast<std::int32_t>(std::nearbyint(value));
}

}  // namespace

// ---- Connection ----

std::string FtpLibrary::get_ServerName() const {
  return session_.settings().server_name;
}
void FtpLibrary::put_ServerName(std::string_view value) {
  std::string name(value);
  if (session_.settings().scrambled_credentials) {
    name = platform::AnsiToUtf8(DecodeScrambledAnsi(name));
  }
  session_.settings().server_name = NormaliseServerName(name);
}

std::string FtpLibrary::get_Username() const {
  return session_.settings().username;
}
void FtpLibrary::put_Username(std::string_view value) {
  session_.settings().username = value;
}
std::string FtpLibrary::get_Password() const {
  return session_.settings().password;
}
void FtpLibrary::put_Password(std::string_view value) {
  session_.settings().password = value;
}

std::int32_t FtpLibrary::get_Port() const {
  return session_.settings().port;
}
void FtpLibrary::put_Port(std::int32_t value) {
  session_.settings().port = PortRule(value);
}
void FtpLibrary::put_RemotePort(std::int32_t value) {
  put_Port(value);
}

std::int16_t FtpLibrary::get_Timeout() const {
  return session_.settings().timeout_seconds;
}
void FtpLibrary::put_Timeout(std::int16_t value) {
  session_.settings().timeout_seconds = TimeoutRule(value);
}

void FtpLibrary::put_Lype(std::int16_t value) {
  // 1 and 2 choose between the two scrambling formats; the second decodes as the first here.
  session_.settings().scrambled_credentials = value != 100;
}

void FtpLibrary::put_Encoding(std::string_view value) {
  SessionSettings& settings = session_.settings();
  switch (EncodingRule(value)) {
    case EncodingChoice::kUtf8:
      settings.utf8 = true;
      settings.auto_encoding = false;
      break;
    case EncodingChoice::kAuto:
      settings.auto_encoding = true;
      break;
    case EncodingChoice::kAnsi:
      settings.utf8 = false;
      settings.auto_encoding = false;
      break;
  }
}

void FtpLibrary::put_UTF8(bool value) {
  session_.settings().utf8 = value;
  session_.settings().auto_encoding = false;
}

void FtpLibrary::put_KeepAliveCommand(std::string_view value) {
  session_.settings().keep_alive_command = KeepAliveCommandRule(value);
}
void FtpLibrary::put_KeepAliveInterval(std::int16_t value) {
  session_.settings().keep_alive_interval = KeepAliveIntervalRule(value);
}

// ---- Paths and transfer options ----

std::string FtpLibrary::get_RemotePath() const {
  return std::string(platform::Trim(session_.settings().remote_path, platform::kSpaces));
}
void FtpLibrary::put_RemotePath(std::string_view value) {
  session_.settings().remote_path = std::string(platform::Trim(value, platform::kSpaces));
}
std::string FtpLibrary::get_LocalPath() {
  std::string& path = session_.settings().local_path;
  path = FormatLocalPath(path);
  return std::string(platform::Trim(path, platform::kSpaces));
}
void FtpLibrary::put_LocalPath(std::string_view value) {
  session_.settings().local_path = std::string(platform::Trim(value, platform::kSpaces));
}

bool FtpLibrary::get_Overwrite() const {
  return session_.transfer_settings().overwrite;
}
void FtpLibrary::put_Overwrite(bool value) {
  session_.transfer_settings().overwrite = value;
  session_.transfer_settings().replace_code = value ? 3 : 6;
}

std::int16_t FtpLibrary::get_ReplaceIndex() const {
  return session_.transfer_settings().replace_code;
}
void FtpLibrary::put_ReplaceIndex(std::int16_t value) {
  const std::optional<std::int16_t> code = ReplaceCodeFromIndex(value);
  if (!code) ShowMessage(InvalidReplaceSettingText());
  session_.transfer_settings().replace_code = code.value_or(0);
}
void FtpLibrary::put_ReplaceSetting(std::int16_t value) {
  put_ReplaceIndex(value);
}

std::string FtpLibrary::get_RenameRule() const {
  return session_.transfer_settings().rename_rule;
}
void FtpLibrary::put_RenameRule(std::string_view value) {
  session_.transfer_settings().rename_rule = value;
}

std::int32_t FtpLibrary::get_TransferMode() const {
  return session_.settings().transfer_mode;
}
void FtpLibrary::put_TransferMode(std::int32_t value) {
  session_.settings().transfer_mode = value;
}

bool FtpLibrary::get_Passive() const {
  return session_.settings().passive;
}
void FtpLibrary::put_Passive(bool value) {
  session_.settings().passive = value;
}
void FtpLibrary::put_PassiveMode(bool value) {
  put_Passive(value);
}

void FtpLibrary::put_MKDCheck(bool value) {
  session_.transfer_settings().mkd_check = value;
}
void FtpLibrary::put_MKDInfo(std::string_view value) {
  session_.settings().mkd_info = value;
}

void FtpLibrary::put_MaxSpeed(std::int32_t value) {
  session_.transfer_settings().max_speed = static_cast<double>(value) * 1024;
  // The socket buffers follow a speed limit so that one block takes about 1/80 s. Without a
  // limit (0 or less) the buffers keep their sizes.
  if (value <= 0) return;
  put_Sndbuf(RoundToLong(static_cast<double>(value) * 1024 / 80));
  const std::int32_t reduced = RoundToLong(0.95 * get_Sndbuf());
  put_Sndbuf(reduced);
  put_Rcvbuf(reduced);
}

std::int32_t FtpLibrary::get_Rcvbuf() const {
  return session_.settings().rcvbuf;
}
void FtpLibrary::put_Rcvbuf(std::int32_t value) {
  session_.settings().rcvbuf = SocketBufferRule(value);
  session_.settings().socket_buffers_set = true;
}
std::int32_t FtpLibrary::get_Sndbuf() const {
  return session_.settings().sndbuf;
}
void FtpLibrary::put_Sndbuf(std::int32_t value) {
  session_.settings().sndbuf = SocketBufferRule(value);
  session_.settings().socket_buffers_set = true;
  session_.transfer_settings().upload_block_limit = session_.settings().sndbuf;
}

void FtpLibrary::put_RedoTimes(std::int16_t value) {
  session_.settings().redo_times = RedoTimesRule(value);
}

std::string FtpLibrary::get_AllowType() const {
  return session_.transfer_settings().allow_type;
}
void FtpLibrary::put_AllowType(std::string_view value) {
  session_.transfer_settings().allow_type = FileTypeListRule(value);
}
std::string FtpLibrary::get_DenyType() const {
  return session_.transfer_settings().deny_type;
}
void FtpLibrary::put_DenyType(std::string_view value) {
  session_.transfer_settings().deny_type = FileTypeListRule(value);
}

void FtpLibrary::put_MaxSize(double value) {
  session_.transfer_settings().max_size = value * 1024 * 1024;
}
void FtpLibrary::put_WithoutList(bool value) {
  session_.transfer_settings().without_list = value;
}
void FtpLibrary::put_ShowTotalProgress(bool value) {
  session_.transfer_settings().show_total_progress = value;
}
void FtpLibrary::put_CacheFileList(bool value) {
  session_.transfer_settings().cache_file_list = value;
}
void FtpLibrary::put_CreateSourceFolder(bool value) {
  session_.transfer_settings().create_source_folder = value;
}
void FtpLibrary::put_TranstatePath(std::string_view value) {
  transfer_.SetTranstatePath(value);
}
void FtpLibrary::put_ListAll(bool value) {
  session_.settings().list_all = value;
}
void FtpLibrary::put_ListCommand(std::string_view value) {
  session_.settings().list_command = ListCommandRule(value);
}
void FtpLibrary::put_ListSuffix(std::string_view value) {
  PutListSuffix(session_, value);
}
void FtpLibrary::put_ListWorkingDir(bool value) {
  session_.settings().list_working_dir = value;
}

// ---- Progress and results ----

std::int16_t FtpLibrary::get_Percent() const {
  return session_.statistics().percent;
}
void FtpLibrary::put_Percent(std::int16_t value) {
  session_.statistics().percent = value;
}
double FtpLibrary::get_TransferredSize() const {
  return session_.statistics().transferred_size;
}
double FtpLibrary::get_TransferSize() const {
  return get_TransferredSize();
}
double FtpLibrary::get_FileSize() const {
  return session_.statistics().file_size;
}
std::int16_t FtpLibrary::get_TotalPercent() const {
  return session_.statistics().total_percent;
}
double FtpLibrary::get_TotalTransferredSize() const {
  return session_.statistics().total_transferred_size;
}
double FtpLibrary::get_TotalFileSize() const {
  return session_.statistics().total_file_size;
}
std::int32_t FtpLibrary::get_Speed() const {
  return session_.statistics().speed;
}
std::int32_t FtpLibrary::get_SpeedAvg() const {
  return SpeedAvgOf(session_.statistics());
}
std::int32_t FtpLibrary::get_ElapsedTime() const {
  return ElapsedTimeOf(session_.statistics());
}
std::int32_t FtpLibrary::get_TotalElapsedTime() const {
  return TotalElapsedTimeOf(session_.statistics());
}
std::int32_t FtpLibrary::get_LeftTime() const {
  return LeftTimeOf(session_.statistics());
}
std::string FtpLibrary::get_TransferState() const {
  return session_.statistics().transfer_state;
}
std::int32_t FtpLibrary::get_QueueIndex() const {
  return session_.statistics().queue_index;
}
std::int32_t FtpLibrary::get_QueueTotal() {
  TransferStatistics& statistics = session_.statistics();
  if (statistics.queue_total < statistics.queue_index) {
    statistics.queue_total = statistics.queue_index;
  }
  return statistics.queue_total;
}
std::string FtpLibrary::get_TransferredLocalFiles() {
  return WithoutLeadingBar(session_.statistics().transferred_local_files);
}
std::string FtpLibrary::get_TransferredRemoteFiles() {
  return WithoutLeadingBar(session_.statistics().transferred_remote_files);
}
std::string FtpLibrary::get_SkippedFiles() {
  return WithoutLeadingBar(session_.statistics().skipped_files);
}
std::string FtpLibrary::get_RemovedFiles() {
  return WithoutLeadingBar(session_.statistics().removed_files);
}
std::string FtpLibrary::get_AbortedFiles() {
  return WithoutLeadingBar(session_.statistics().aborted_files);
}

// ---- Session state ----

FtpStates FtpLibrary::get_FtpState() const {
  return session_.state().ftp_state;
}
std::string FtpLibrary::get_MessageInfo() const {
  return session_.state().message_info;
}
std::int16_t FtpLibrary::get_MessageType() const {
  return static_cast<std::int16_t>(session_.state().message_type);
}
std::int32_t FtpLibrary::get_ErrorNumber() const {
  return session_.ErrorNumber();
}
std::string FtpLibrary::get_ErrorInfo() const {
  return session_.ErrorInfo();
}
bool FtpLibrary::get_Busy() const {
  return IsBusyState(session_.state().ftp_state);
}
bool FtpLibrary::get_Connected() const {
  return session_.Connected();
}
std::string FtpLibrary::get_Version() const {
  return std::string(kLibraryVersion);
}

void FtpLibrary::put_EnableLog(bool value) {
  session_.EnsureSessionObjects();
  EnsureErrorRecord().put_EnableLog(value);
}
std::string FtpLibrary::get_LangInfo() const {
  return GetLangInfo();
}
void FtpLibrary::put_LangInfo(std::string_view value) {
  LetLangInfo(value);
}

// ---- Host conveniences ----

std::string FtpLibrary::get_Title() const {
  return ApplicationTitle();
}
void FtpLibrary::put_Title(std::string_view value) {
  SetApplicationTitle(value);
}
void FtpLibrary::put_ShowCmd(std::int16_t value) {
  show_cmd_ = value;
}
void FtpLibrary::put_SFDFileName(std::string_view value) {
  sfd_file_name_ = value;
}
void FtpLibrary::put_SFDFilter(std::string_view value) {
  sfd_filter_ = value;
}
void FtpLibrary::put_SFDInitialDir(std::string_view value) {
  sfd_initial_dir_ = value;
}
void FtpLibrary::put_SFDMultiple(bool value) {
  sfd_multiple_ = value;
}
void FtpLibrary::put_SFDTitle(std::string_view value) {
  sfd_title_ = value;
}

}  // namespace tarvik
