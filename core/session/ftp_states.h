// The observable session state, the kinds of server message and the operation codes a method
// waits for. Each enumeration sits beside its name table so that traces print names, not numbers.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvik {

// Session state the host observes through FtpState (values are part of the public interface).
enum class FtpStates : std::int32_t {
  ftpFreeState = 0,
  ftpClosed = 1,
  ftpConnecting = 2,
  ftpConnected = 3,
  ftpAuthentication = 4,
  ftpUserLoggedIn = 5,
  ftpChangingCurrentDirectory = 6,
  ftpDeletingFile = 7,
  ftpRemovingDirectory = 8,
  ftpCreatingDirectory = 9,
  ftpRenamingFile = 10,
  ftpEstablishingDataConnection = 11,
  ftpDataConnectionEstablished = 12,
  ftpRetrievingDirectoryInfo = 13,
  ftpDirectoryInfoRetrieved = 14,
  ftpDownloadInProgress = 15,
  ftpDownloadCompleted = 16,
  ftpUploadInProgress = 17,
  ftpUploadCompleted = 18,
  ftpQuiting = 19,
  ftpGetFileSize = 20,
};

// Kind of the text in MessageInfo.
enum class MessageTypes : std::int16_t {
  FTP_USER_COMMAND = 0,         // a command the control sent
  FTP_SERVER_RESPONSE = 1,      // a reply with code 399 or below
  FTP_SERVER_BAD_RESPONSE = 2,  // a reply above 399, and retransfer notices
  FTP_APPLICATION_MESSAGE = 3,  // declared for hosts; never set
};

enum class FtpTransferModes : std::int32_t {
  FTP_ASCII_MODE = 0,
  FTP_IMAGE_MODE = 1,
};

// The asynchronous operation a method is waiting for (CurrentOperation).
enum class Operation : std::int32_t {
  kNone = 0,
  kConnect = 1,
  kGetCurrentDirectory = 2,
  kSetCurrentDirectory = 3,
  kCreateDirectory = 4,
  kRemoveDirectory = 5,
  kRename = 6,
  kDelete = 7,
  kDownload = 8,
  kUpload = 9,
  kListing = 10,
  kQuit = 11,
  kFileSize = 12,
  kAbort = 13,
  kRawCommand = 14,
  kCommandTest = 15,
};

// Names for traces; "?" for a value outside the enumeration.
std::string_view FtpStateName(FtpStates state);
std::string_view OperationName(Operation operation);

// Busy is false in the states that mean "nothing is going on": free, closed, and the three
// completion states.
bool IsBusyState(FtpStates state);

}  // namespace tarvik
