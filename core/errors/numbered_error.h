// A failure raised inside a method of the library and caught by that method's one handler, which
// reports it (ReportError / DispatchError) and returns the method's failure value. Nothing of this
// type ever leaves a public member of the control or enters the message loop.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tarvik {

class NumberedError : public std::exception {
 public:
  NumberedError(long number, std::string description)
      : number_(number), description_(std::move(description)) {}

  long number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  long number_;              // error number: socket code, 16000 + reply code, 18xxx, 20xxx ...
  std::string description_;  // text for the record; empty or generic text takes the table text
};

// Raises error `number`; an empty description lets the error record pick the table text.
[[noreturn]] inline void Raise(long number, std::string description = {}) {
  throw NumberedError(number, std::move(description));
}

}  // namespace tarvik
