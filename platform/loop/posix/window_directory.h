// Process-wide facts about windows: which loop owns each one (so that any thread can post to it)
// and the registered message numbers.
#pragma once

#include <memory>
#include <string_view>

#include "platform/loop/message_loop.h"
#include "platform/loop/posix/message_queue.h"

namespace tarvik::platform::loop {

// A fresh window handle, never handed out before.
WindowHandle AllocateWindowHandle();
// Records that `window` belongs to the loop whose inbox is `inbox`.
void PublishWindow(WindowHandle window, std::shared_ptr<CrossThreadInbox> inbox);
void WithdrawWindow(WindowHandle window);
// The inbox of the loop that owns `window`; empty when the window does not exist.
std::shared_ptr<CrossThreadInbox> InboxOf(WindowHandle window);

MessageId RegisterMessageName(std::string_view name);

}  // namespace tarvik::platform::loop
