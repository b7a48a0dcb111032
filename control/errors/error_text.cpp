#include "control/errors/error_text.h"

#include <string_view>

#include "control/errors/message_table.h"
#include "control/errors/winsock_error_text.h"

namespace tarvik {

namespace {

namespace row = message_row;

// One number's message: a row of the table (when `row` >= 0) or a fixed English text.
struct ErrorMessage {
  long number;
  int row;
  std::string_view fixed;
};

// clang-format off
constexpr ErrorMessage kErrorMessages[] = {
    {20001, row::kHostnameRequired, {}},
    {20002, row::kUnableToResolveHost, {}},
    {20003, row::kFileTooLarge, {}},
    {20004, row::kOperationTimedOut, {}},
    {20005, row::kInputRemotePath, {}},
    {20006, row::kInputLocalPath, {}},
    {20007, row::kCantFindFile, {}},
    {20009, row::kCantFindFile, {}},
    {20008, row::kCantFindFolder, {}},
    {20010, row::kCantFindFolder, {}},
    {20011, row::kEnterAbsolutePath, {}},
    {20012, row::kFolderContainsFile, {}},
    {20019, row::kSpecifySavePath, {}},
    {20020, row::kFailedToCreateDirectory, {}},
    {20021, row::kFileTypeNotAllowed, {}},
    {20022, row::kFileTypeForbidden, {}},
    {20023, row::kFailedToCreateFile, {}},
    {20024, row::kFailedToOpenFile, {}},
    {20050, -1, "Create Window Error"},
    {20061, row::kDataSocketConnectFailed, {}},
    {20062, -1, "Data Socket Error"},
    {20063, -1, "Refusing to remove the root folder"},
    {20064, -1, "The server truncated the listing"},
    {20065, -1, "The peer is not an FTP server"},
    {20066, -1, "The listing is too large"},
    {16001, -1, "Failed to get current working directory"},
    {16002, -1, "Unknowed file list type."},
    {16006, row::kConnectNoResponse, {}},
    {16007, row::kConnecting, {}},
    {16008, row::kFailedToConnect, {}},
    {16009, row::kPreviousOperationUnfinished, {}},
    {16010, row::kOperationCanceled, {}},
    {16011, -1, "Connection is interrupted"},
    {16012, -1, "Unexpected error"},
    {16120, -1, "Service ready in nnn minutes."},
    {16332, -1, "Need account for login."},
    {16350, -1, "Requested file action pending further information."},
    {16421, -1, "Service not available, closing control connection."},
    {16425, -1, "Can 't open data connection."},
    {16426, -1, "Connection closed; transfer aborted."},
    {16450, -1, "Requested file action not taken."},
    {16451, -1, "Requested action aborted: local error in processing."},
    {16452, -1, "Requested action not taken."},
    {16553, -1, "Requested action not taken."},
    {16500, -1, "Syntax error, command unrecognized."},
    {16501, -1, "Syntax error in parameters or arguments."},
    {16502, -1, "Command not implemented."},
    {16503, -1, "Bad sequence of commands."},
    {16504, -1, "Command not implemented for that parameter."},
    {16530, row::kLoginFailed, {}},
    {16532, -1, "Need account for storing files."},
    {16550, -1, "550 error occurred."},
    {16551, -1, "Requested action aborted: page type unknown."},
    {16552, -1, "Requested file action aborted."},
    {18001, row::kNoResumingSupport, {}},
    {18002, row::kFailToGetFileSize, {}},
    {18003, row::kFailedToConnect, {}},
    {18004, row::kConnectNoResponse, {}},
    {18404, row::kFileNotFound, {}},
    // The record replaces any text given with 21000 by this one, so it must say what went wrong.
    {21000, row::kInvalidFtpHost, {}},
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
