#include "core/errors/error_text.h"

#include <string_view>

#include "core/errors/error_code.h"
#include "core/errors/message_table.h"
#include "core/errors/winsock_error_text.h"

namespace tarvik {

namespace {

namespace row = message_row;

// One number's message: a row of the table (when `row` >= 0) or a fixed English text.
struct ErrorMessage {
  std::int32_t number;
  int row;
  std::string_view fixed;
};

// clang-format off
constexpr ErrorMessage kErrorMessages[] = {
    {ErrorCode::kHostnameRequired, row::kHostnameRequired, {}},
    {ErrorCode::kHostNotResolved, row::kUnableToResolveHost, {}},
    {ErrorCode::kFileTooLarge, row::kFileTooLarge, {}},
    {ErrorCode::kTimedOut, row::kOperationTimedOut, {}},
    {ErrorCode::kInputRemotePath, row::kInputRemotePath, {}},
    {ErrorCode::kInputLocalPath, row::kInputLocalPath, {}},
    {ErrorCode::kRemoteFileMissing, row::kCantFindFile, {}},
    {ErrorCode::kLocalFileMissing, row::kCantFindFile, {}},
    {ErrorCode::kNotAFolder, row::kCantFindFolder, {}},
    {ErrorCode::kLocalFolderMissing, row::kCantFindFolder, {}},
    {ErrorCode::kNotAbsolutePath, row::kEnterAbsolutePath, {}},
    {ErrorCode::kFolderContainsFile, row::kFolderContainsFile, {}},
    {ErrorCode::kSpecifySavePath, row::kSpecifySavePath, {}},
    {ErrorCode::kCreateDirectoryFailed, row::kFailedToCreateDirectory, {}},
    {ErrorCode::kFileTypeNotAllowed, row::kFileTypeNotAllowed, {}},
    {ErrorCode::kFileTypeForbidden, row::kFileTypeForbidden, {}},
    {ErrorCode::kFailedToCreateFile, row::kFailedToCreateFile, {}},
    {ErrorCode::kFailedToOpenFile, row::kFailedToOpenFile, {}},
    {ErrorCode::kCreateWindowFailed, -1, "Create Window Error"},
    {ErrorCode::kDataSocketConnectFailed, row::kDataSocketConnectFailed, {}},
    {ErrorCode::kDataSocketError, -1, "Data Socket Error"},
    {ErrorCode::kRootRemoval, -1, "Refusing to remove the root folder"},
    {ErrorCode::kListingTruncated, -1, "The server truncated the listing"},
    {ErrorCode::kNotAnFtpServer, -1, "The peer is not an FTP server"},
    {ErrorCode::kListingTooLarge, -1, "The listing is too large"},
    {ErrorCode::kNoCurrentDirectory, -1, "Failed to get current working directory"},
    {ErrorCode::kUnknownListFormat, -1, "Unknowed file list type."},
    {ErrorCode::kConnectNoResponse, row::kConnectNoResponse, {}},
    {ErrorCode::kConnectInProgress, row::kConnecting, {}},
    {ErrorCode::kFailedToConnect, row::kFailedToConnect, {}},
    {ErrorCode::kOperationUnfinished, row::kPreviousOperationUnfinished, {}},
    {ErrorCode::kOperationCanceled, row::kOperationCanceled, {}},
    {ErrorCode::kConnectionInterrupted, -1, "Connection is interrupted"},
    {ErrorCode::kUnexpectedError, -1, "Unexpected error"},
    {ReplyError(120), -1, "Service ready in nnn minutes."},
    {ReplyError(332), -1, "Need account for login."},
    {ReplyError(350), -1, "Requested file action pending further information."},
    {ReplyError(421), -1, "Service not available, closing control connection."},
    {ReplyError(425), -1, "Can 't open data connection."},
    {ReplyError(426), -1, "Connection closed; transfer aborted."},
    {ReplyError(450), -1, "Requested file action not taken."},
    {ReplyError(451), -1, "Requested action aborted: local error in processing."},
    {ReplyError(452), -1, "Requested action not taken."},
    {ReplyError(553), -1, "Requested action not taken."},
    {ReplyError(500), -1, "Syntax error, command unrecognized."},
    {ReplyError(501), -1, "Syntax error in parameters or arguments."},
    {ReplyError(502), -1, "Command not implemented."},
    {ReplyError(503), -1, "Bad sequence of commands."},
    {ReplyError(504), -1, "Command not implemented for that parameter."},
    {ReplyError(530), row::kLoginFailed, {}},
    {ReplyError(532), -1, "Need account for storing files."},
    {ReplyError(550), -1, "550 error occurred."},
    {ReplyError(551), -1, "Requested action aborted: page type unknown."},
    {ReplyError(552), -1, "Requested file action aborted."},
    {ErrorCode::kNoResumingSupport, row::kNoResumingSupport, {}},
    {ErrorCode::kNoFileSize, row::kFailToGetFileSize, {}},
    {ErrorCode::kHttpConnectFailed, row::kFailedToConnect, {}},
    {ErrorCode::kHttpNoResponse, row::kConnectNoResponse, {}},
    {ErrorCode::kHttpNotFound, row::kFileNotFound, {}},
    // The record replaces any text given with 21000 by this one, so it must say what went wrong.
    {ErrorCode::kInvalidFtpHost, row::kInvalidFtpHost, {}},
};
// clang-format on

}  // namespace

std::string GetErrorText(long number) {
  for (const ErrorMessage& message : kErrorMessages) {
    if (message.number != number) continue;
    return message.row >= 0 ? MessageText(message.row) : std::string(message.fixed);
  }
  return GetWinsockErrorDescription(number);
}

}  // namespace tarvik
