// The control's transfer methods and size and time texts.
#include "control/ftp_library.h"
#include "core/transfer/size_format.h"

namespace tarvik {

bool FtpLibrary::Download() {
  return transfer_.Download();
}
bool FtpLibrary::Upload() {
  return transfer_.Upload();
}
void FtpLibrary::QueueAppend(std::string_view FilePath) {
  transfer_.QueueAppend(FilePath);
}
void FtpLibrary::QueueRemove(std::string_view FilePath) {
  transfer_.QueueRemove(FilePath);
}
std::string FtpLibrary::FormatSize(double FileSize) {
  return tarvik::FormatSize(FileSize);
}
std::string FtpLibrary::FormatFileSize(double FileSize) {
  return tarvik::FormatSize(FileSize);
}
std::string FtpLibrary::FormatTime(std::int32_t Seconds) {
  return tarvik::FormatTime(Seconds);
}

}  // namespace tarvik
