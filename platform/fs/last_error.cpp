#include "platform/fs/last_error.h"

namespace tarvik::platform {
namespace {

thread_local DWORD g_last_error = 0;

}  // namespace

DWORD GetLastError() {
  return g_last_error;
}

void SetLastError(DWORD error) {
  g_last_error = error;
}

std::string FormatSystemMessage(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return "The operation completed successfully.";
    case ERROR_INVALID_FUNCTION:
      return "Incorrect function.";
    case ERROR_FILE_NOT_FOUND:
      return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
      return "The system cannot find the path specified.";
    case ERROR_TOO_MANY_OPEN_FILES:
      return "The system cannot open the file.";
    case ERROR_ACCESS_DENIED:
      return "Access is denied.";
    case ERROR_INVALID_HANDLE:
      return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY:
      return "Not enough memory resources are available to process this command.";
    case ERROR_NO_MORE_FILES:
      return "There are no more files.";
    case ERROR_GEN_FAILURE:
      return "A device attached to the system is not functioning.";
    case ERROR_SHARING_VIOLATION:
      return "The process cannot access the file because it is being used by another process.";
    case ERROR_LOCK_VIOLATION:
      return "The process cannot access the file because another process has locked a portion of "
             "the file.";
    case ERROR_HANDLE_EOF:
      return "Reached the end of the file.";
    case ERROR_BAD_NETPATH:
      return "The network path was not found.";
    case ERROR_BAD_NET_NAME:
      return "The network name cannot be found.";
    case ERROR_FILE_EXISTS:
      return "The file exists.";
    case ERROR_INVALID_PARAMETER:
      return "The parameter is incorrect.";
    case ERROR_DISK_FULL:
      return "There is not enough space on the disk.";
    case ERROR_INVALID_NAME:
      return "The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_NEGATIVE_SEEK:
      return "An attempt was made to move the file pointer before the beginning of the file.";
    case ERROR_DIR_NOT_EMPTY:
      return "The directory is not empty.";
    case ERROR_ALREADY_EXISTS:
      return "Cannot create a file when that file already exists.";
    case ERROR_FILENAME_EXCED_RANGE:
      return "The filename or extension is too long.";
    case ERROR_FILE_TOO_LARGE:
      return "The file size exceeds the limit allowed and cannot be saved.";
    case ERROR_DIRECTORY:
      return "The directory name is invalid.";
    case ERROR_IO_DEVICE:
      return "The request could not be performed because of an I/O device error.";
    case ERROR_CANT_RESOLVE_FILENAME:
      return "The name of the file cannot be resolved by the system.";
    default:
      return "";
  }
}

}  // namespace tarvik::platform
