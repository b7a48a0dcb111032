// A hidden window that records the messages it gets, for the message loop tests.
#pragma once

#include <vector>

#include "platform/loop/message_loop.h"

namespace tarvik::platform {

struct Seen {
  WindowHandle window;
  MessageId message;
  WParam wparam;
  LParam lparam;
  bool operator==(const Seen&) const = default;
};

// A hidden window that records every message it gets; destroyed with the fixture.
class RecordingWindow {
 public:
  RecordingWindow() : window_(CreateHiddenWindow()) {
    SetWindowProcedure(window_, [this](WindowHandle w, MessageId m, WParam wp, LParam lp) {
      seen.push_back(Seen{w, m, wp, lp});
      return LResult{0};
    });
  }
  ~RecordingWindow() { DestroyWindow(window_); }
  WindowHandle handle() const { return window_; }
  std::vector<Seen> seen;

 private:
  WindowHandle window_;
};

inline void DrainQueue() {
  while (ProcessPendingMessages() > 0) {
  }
}

}  // namespace tarvik::platform
