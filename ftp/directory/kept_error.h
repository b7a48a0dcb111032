// The error a method has met, kept aside while it runs a clean-up command (changing back to the
// working folder), whose own start clears the error record, and put back afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "core/errors/error_dispatch.h"

namespace tarvik {

class FtpSession;

class KeptError {
 public:
  // Takes the session's current error (record and fallback fields).
  explicit KeptError(FtpSession& session);
  // Puts it back when there was one.
  void Restore() const;
  bool Any() const { return number_ != 0 || fallback_.number != 0; }

 private:
  FtpSession& session_;
  std::int32_t number_;      // the error record's number
  std::string description_;  // the error record's description
  ControlFallbackError fallback_;
};

}  // namespace tarvik
