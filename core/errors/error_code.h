// Every error number the library reports as its own (ErrorNumber, the error record's Number).
// Socket failures keep the Windows Sockets numbers (platform/loop/winsock_errors.h) and file
// failures the system's; a command the FTP server refused is 16000 + its reply code (ReplyError).
// The texts of these numbers are in error_text.cpp.
#pragma once

#include <cstdint>

namespace tarvik {

// Unscoped so that a number compares and converts as the integer it is; written qualified
// (ErrorCode::kTimedOut) at every use.
enum ErrorCode : std::int32_t {
  // The FTP server's refusals: 16000 + reply code, and the session's own failures beside them.
  kReplyErrorBase = 16000,
  kNoCurrentDirectory = 16001,
  kUnknownListFormat = 16002,
  kConnectNoResponse = 16006,
  kConnectInProgress = 16007,
  kFailedToConnect = 16008,
  kOperationUnfinished = 16009,
  kOperationCanceled = 16010,
  kConnectionInterrupted = 16011,
  kUnexpectedError = 16012,
  kServiceNotAvailable = 16421,
  kCommandUnrecognized = 16500,
  kArgumentSyntaxError = 16501,
  kNotLoggedIn = 16530,
  kFileUnavailable = 16550,
  // HTTP downloads; a refused request is 18000 + its status.
  kHttpStatusBase = 18000,
  kHttpHeaderError = 18000,
  kNoResumingSupport = 18001,
  kNoFileSize = 18002,
  kHttpConnectFailed = 18003,
  kHttpNoResponse = 18004,
  kTlsFailed = 18005,
  kHttpIncomplete = 18006,
  kHttpNotFound = 18404,
  // Arguments, local files and data connections.
  kHostnameRequired = 20001,
  kHostNotResolved = 20002,
  kFileTooLarge = 20003,
  kTimedOut = 20004,
  kInputRemotePath = 20005,
  kInputLocalPath = 20006,
  kRemoteFileMissing = 20007,
  kNotAFolder = 20008,
  kLocalFileMissing = 20009,
  kLocalFolderMissing = 20010,
  kNotAbsolutePath = 20011,
  kFolderContainsFile = 20012,
  kSpecifySavePath = 20019,
  kCreateDirectoryFailed = 20020,
  kFileTypeNotAllowed = 20021,
  kFileTypeForbidden = 20022,
  kFailedToCreateFile = 20023,
  kFailedToOpenFile = 20024,
  kCreateWindowFailed = 20050,
  kDataSocketConnectFailed = 20061,
  // A download that brought more or fewer bytes than the server announced; reads as 10061.
  kSizeMismatch = 20061,
  kDataSocketError = 20062,
  kRootRemoval = 20063,
  kListingTruncated = 20064,
  kNotAnFtpServer = 20065,
  kListingTooLarge = 20066,
  // Its text always comes from the table, whatever text was given with it.
  kInvalidFtpHost = 21000,
  kNoSocket = 40006,
};

// The error of a command the server refused with `reply_code`.
constexpr ErrorCode ReplyError(int reply_code) {
  return static_cast<ErrorCode>(kReplyErrorBase + reply_code);
}

// An error number that stands for an FTP reply (16001..16999).
constexpr bool IsReplyError(long number) {
  return number > kReplyErrorBase && number < kReplyErrorBase + 1000;
}

}  // namespace tarvik
