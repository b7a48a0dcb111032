#include "platform/shell/process_setup.h"

namespace tarvik::platform {

// Windows has no per-process file size limit that ends a process: a write past what the file
// system allows already fails with ERROR_FILE_TOO_LARGE.
void FailWritesPastFileSizeLimit() {}

}  // namespace tarvik::platform
