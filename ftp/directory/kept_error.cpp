#include "ftp/directory/kept_error.h"

#include "core/errors/error_record_access.h"
#include "ftp/session/ftp_session.h"

namespace tarvik {

KeptError::KeptError(FtpSession& session)
    : session_(session),
      number_(RecordedErrorNumber()),
      description_(RecordedErrorDescription()),
      fallback_(session.state().fallback_error) {}

void KeptError::Restore() const {
  if (!Any()) return;
  if (number_ != 0) {
    SetRecordedErrorNumber(number_);
    SetRecordedErrorDescription(description_);
  }
  session_.state().fallback_error = fallback_;
}

}  // namespace tarvik
