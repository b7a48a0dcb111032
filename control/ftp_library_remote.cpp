// The control's listing and remote file and folder methods: each runs on the control's session.
#include "control/ftp_library.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"

namespace tarvik {

std::shared_ptr<CFtpFiles> FtpLibrary::GetFtpDirectoryInfo(std::string_view DirectoryPath) {
  return RemoteListing(session_).GetFtpDirectoryInfo(DirectoryPath);
}
std::shared_ptr<CFtpFile> FtpLibrary::GetFtpFileInfo(std::string_view FilePath) {
  return RemoteListing(session_).GetFtpFileInfo(FilePath);
}
std::string FtpLibrary::GetFileList(std::string_view DirectoryPath) {
  return RemoteListing(session_).GetFileList(DirectoryPath);
}
std::string FtpLibrary::GetFileInfo(std::string_view FilePath) {
  return RemoteListing(session_).GetFileInfo(FilePath);
}

bool FtpLibrary::ExistFile(std::string_view FileName) {
  return RemoteOperations(session_).ExistFile(FileName);
}
double FtpLibrary::GetFileSize(std::string_view FilePath) {
  return RemoteOperations(session_).GetFileSize(FilePath);
}
double FtpLibrary::GetFtpFileSize(std::string_view FilePath) {
  return RemoteOperations(session_).GetFtpFileSize(FilePath);
}
bool FtpLibrary::ExistDirectory(std::string_view DirectoryName) {
  return RemoteOperations(session_).ExistDirectory(DirectoryName);
}
bool FtpLibrary::CreateDirectory(std::string_view DirectoryPath) {
  return RemoteOperations(session_).CreateDirectory(DirectoryPath);
}
bool FtpLibrary::RemoveDirectory(std::string_view DirectoryPath) {
  return RemoteOperations(session_).RemoveDirectory(DirectoryPath);
}
bool FtpLibrary::DeleteFile(std::string_view FilePath) {
  return RemoteOperations(session_).DeleteFile(FilePath);
}
bool FtpLibrary::RenameFile(std::string_view OldFileName, std::string_view NewFileName) {
  return RemoteOperations(session_).RenameFile(OldFileName, NewFileName);
}
bool FtpLibrary::SetCurrentDirectory(std::string_view DirectoryPath) {
  return RemoteOperations(session_).SetCurrentDirectory(DirectoryPath);
}

}  // namespace tarvik
