#include "core/session/ftp_states.h"

#include <array>

namespace tarvik {
namespace {

constexpr std::array<std::string_view, 21> kStateNames = {
    "ftpFreeState",
    "ftpClosed",
    "ftpConnecting",
    "ftpConnected",
    "ftpAuthentication",
    "ftpUserLoggedIn",
    "ftpChangingCurrentDirectory",
    "ftpDeletingFile",
    "ftpRemovingDirectory",
    "ftpCreatingDirectory",
    "ftpRenamingFile",
    "ftpEstablishingDataConnection",
    "ftpDataConnectionEstablished",
    "ftpRetrievingDirectoryInfo",
    "ftpDirectoryInfoRetrieved",
    "ftpDownloadInProgress",
    "ftpDownloadCompleted",
    "ftpUploadInProgress",
    "ftpUploadCompleted",
    "ftpQuiting",
    "ftpGetFileSize",
};

constexpr std::array<std::string_view, 16> kOperationNames = {
    "none",
    "connect",
    "get current directory",
    "set current directory",
    "create directory",
    "remove directory",
    "rename",
    "delete",
    "download",
    "upload",
    "listing",
    "quit",
    "file size",
    "abort",
    "raw command",
    "command test",
};

template <typename Table, typename Enum>
std::string_view NameOf(const Table& table, Enum value) {
  const auto index = static_cast<std::int64_t>(value);
  if (index < 0 || index >= static_cast<std::int64_t>(table.size())) return "?";
  return table[static_cast<std::size_t>(index)];
}

}  // namespace

std::string_view FtpStateName(FtpStates state) {
  return NameOf(kStateNames, state);
}

std::string_view OperationName(Operation operation) {
  return NameOf(kOperationNames, operation);
}

bool IsBusyState(FtpStates state) {
  switch (state) {
    case FtpStates::ftpFreeState:
    case FtpStates::ftpClosed:
    case FtpStates::ftpDirectoryInfoRetrieved:
    case FtpStates::ftpDownloadCompleted:
    case FtpStates::ftpUploadCompleted:
      return false;
    default:
      return true;
  }
}

}  // namespace tarvik
