#include "platform/loop/message_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/platform/loop/recording_window.h"

namespace tarvik::platform {
namespace {

TEST(RegisteredMessages, SameNameSameNumberAcrossThreadsAndCase) {
  const MessageId first = RegisterWindowMessage("Tarvik.TestMessage");
  EXPECT_GE(first, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("Tarvik.TestMessage"), first);
  EXPECT_EQ(RegisterWindowMessage("TARVIK.testmessage"), first);
  EXPECT_NE(RegisterWindowMessage("Tarvik.OtherMessage"), first);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  MessageId from_other_thread = 0;
  std::thread([&] { from_other_thread = RegisterWindowMessage("tarvik.TestMessage"); }).join();
  EXPECT_EQ(from_other_thread, first);
}

TEST(Windows, PostedMessagesArriveInOrderWithTheirParameters) {
  RecordingWindow window;
  ASSERT_TRUE(PostMessage(window.handle(), kWmUser + 1, 10, -20));
  ASSERT_TRUE(PostMessage(window.handle(), kWmUser + 2, 30, 40));
  EXPECT_TRUE(window.seen.empty()) << "posting never dispatches";
  EXPECT_EQ(ProcessPendingMessages(), 2u);
  EXPECT_EQ(window.seen, (std::vector<Seen>{{window.handle(), kWmUser + 1, 10, -20},
                                            {window.handle(), kWmUser + 2, 30, 40}}));
  EXPECT_EQ(ProcessPendingMessages(), 0u);
}

TEST(Windows, UnknownOrDestroyedWindowsRefuseEverything) {
  EXPECT_FALSE(PostMessage(0, kWmUser, 0, 0));
  EXPECT_FALSE(IsWindow(0));
  const WindowHandle window = CreateHiddenWindow();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_FALSE(PostMessage(window, kWmUser, 0, 0));
  EXPECT_FALSE(SetWindowProcedure(window, [](auto...) { return LResult{0}; }));
  EXPECT_EQ(SetTimer(window, 1, 10), 0u);
  EXPECT_NE(CreateHiddenWindow(), window) << "handles are never reused";
}

TEST(Windows, DestroyingAWindowPurgesItsQueuedMessages) {
  auto doomed = std::make_unique<RecordingWindow>();
  RecordingWindow survivor;
  PostMessage(doomed->handle(), kWmUser, 1, 0);
  PostMessage(survivor.handle(), kWmUser, 2, 0);
  const WindowHandle handle = doomed->handle();
  std::vector<Seen>* doomed_seen = &doomed->seen;
  EXPECT_TRUE(doomed_seen->empty());
  doomed.reset();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(ProcessPendingMessages(), 1u);
  ASSERT_EQ(survivor.seen.size(), 1u);
  EXPECT_EQ(survivor.seen[0].wparam, 2u);
}

TEST(Windows, SubclassingReturnsThePreviousProcedureToChainTo) {
  RecordingWindow window;
  std::vector<WParam> subclass_saw;
  WindowProcedure previous;
  previous =
      SetWindowProcedure(window.handle(), [&](WindowHandle w, MessageId m, WParam wp, LParam lp) {
        subclass_saw.push_back(wp);
        return previous(w, m, wp, lp);
      });
  ASSERT_TRUE(previous);
  PostMessage(window.handle(), kWmUser, 5, 0);
  ProcessPendingMessages();
  EXPECT_EQ(subclass_saw, std::vector<WParam>{5});
  EXPECT_EQ(window.seen.size(), 1u) << "the original procedure still ran through the chain";
  // Putting the original back ends the subclassing.
  SetWindowProcedure(window.handle(), previous);
  PostMessage(window.handle(), kWmUser, 6, 0);
  ProcessPendingMessages();
  EXPECT_EQ(subclass_saw.size(), 1u);
  EXPECT_EQ(window.seen.size(), 2u);
}

TEST(Windows, AProcedureMayReplaceItselfOrDestroyItsWindowWhileRunning) {
  const WindowHandle window = CreateHiddenWindow();
  auto state = std::make_shared<std::vector<int>>();
  SetWindowProcedure(window, [window, state](WindowHandle, MessageId m, WParam, LParam) {
    SetWindowProcedure(window, {});         // destroys this closure's stored copy
    state->push_back(static_cast<int>(m));  // the closure must still be alive here
    if (m == kWmUser + 1) DestroyWindow(window);
    return LResult{0};
  });
  PostMessage(window, kWmUser + 1, 0, 0);
  PostMessage(window, kWmUser + 2, 0, 0);
  ProcessPendingMessages();
  EXPECT_EQ(*state, std::vector<int>{static_cast<int>(kWmUser + 1)});
  EXPECT_FALSE(IsWindow(window));
}

TEST(Pump, APassHandlesWhatWasQueuedAtItsStartOnly) {
  const WindowHandle window = CreateHiddenWindow();
  int calls = 0;
  // Each message posts the next one: one pass must not chase them for ever.
  SetWindowProcedure(window, [&](WindowHandle w, MessageId m, WParam, LParam) {
    ++calls;
    PostMessage(w, m, 0, 0);
    return LResult{0};
  });
  PostMessage(window, kWmUser, 0, 0);
  EXPECT_EQ(ProcessPendingMessages(), 1u);
  EXPECT_EQ(ProcessPendingMessages(), 1u);
  EXPECT_EQ(calls, 2);
  DestroyWindow(window);
  EXPECT_EQ(ProcessPendingMessages(), 0u);
}

TEST(Pump, AHandlerMayPumpAgainAndNothingRunsTwice) {
  RecordingWindow inner_target;
  const WindowHandle outer = CreateHiddenWindow();
  std::vector<std::size_t> nested_counts;
  SetWindowProcedure(outer, [&](WindowHandle, MessageId, WParam wp, LParam) {
    if (wp == 1) {
      PostMessage(inner_target.handle(), kWmUser, 99, 0);
      nested_counts.push_back(ProcessPendingMessages());
    }
    return LResult{0};
  });
  PostMessage(outer, kWmUser, 1, 0);
  PostMessage(inner_target.handle(), kWmUser, 2, 0);
  EXPECT_EQ(ProcessPendingMessages(), 1u) << "the nested pass took the second message";
  EXPECT_EQ(nested_counts, std::vector<std::size_t>{2});
  ASSERT_EQ(inner_target.seen.size(), 2u);
  EXPECT_EQ(inner_target.seen[0].wparam, 2u);
  EXPECT_EQ(inner_target.seen[1].wparam, 99u);
  EXPECT_EQ(ProcessPendingMessages(), 0u);
  DestroyWindow(outer);
}

TEST(Pump, AnExceptionFromAProcedureLeavesTheRestForTheNextPass) {
  RecordingWindow later;
  const WindowHandle thrower = CreateHiddenWindow();
  SetWindowProcedure(thrower, [](WindowHandle, MessageId, WParam, LParam) -> LResult {
    throw std::runtime_error("handler failed");
  });
  PostMessage(thrower, kWmUser, 0, 0);
  PostMessage(later.handle(), kWmUser, 1, 0);
  EXPECT_THROW(ProcessPendingMessages(), std::runtime_error);
  EXPECT_TRUE(later.seen.empty());
  EXPECT_EQ(ProcessPendingMessages(), 1u);
  EXPECT_EQ(later.seen.size(), 1u);
  DestroyWindow(thrower);
}

TEST(Wait, ReportsQueuedMessagesAndTimesOutOnNothing) {
  EXPECT_FALSE(WaitForMessage(0));
  EXPECT_FALSE(WaitForMessage(5));
  RecordingWindow window;
  PostMessage(window.handle(), kWmUser, 0, 0);
  EXPECT_TRUE(WaitForMessage(0));
  EXPECT_TRUE(window.seen.empty()) << "waiting dispatches nothing";
  DrainQueue();
  EXPECT_EQ(window.seen.size(), 1u);
}

TEST(Wait, APostFromAnotherThreadWakesTheWaitingLoop) {
  RecordingWindow window;
  const WindowHandle target = window.handle();
  constexpr std::int64_t kLongWaitMs = 60'000;
  const auto started = std::chrono::steady_clock::now();
  std::thread poster([target] { EXPECT_TRUE(PostMessage(target, kWmUser + 7, 42, 43)); });
  const bool woke = WaitForMessage(kLongWaitMs);
  const auto waited = std::chrono::steady_clock::now() - started;
  poster.join();
  EXPECT_TRUE(woke);
  // Without the wake-up the wait would only notice the post when its time ran out.
  EXPECT_LT(waited, std::chrono::milliseconds(kLongWaitMs));
  DrainQueue();
  EXPECT_EQ(window.seen, (std::vector<Seen>{{target, kWmUser + 7, 42, 43}}));
}

TEST(Wait, PostingToAWindowOfAnEndedThreadFails) {
  WindowHandle foreign = 0;
  std::thread([&] { foreign = CreateHiddenWindow(); }).join();
  EXPECT_NE(foreign, 0u);
  EXPECT_FALSE(IsWindow(foreign));
  EXPECT_FALSE(PostMessage(foreign, kWmUser, 0, 0));
}

TEST(Wait, AWindowOfAnotherThreadCannotBeDestroyedOrSubclassedFromHere) {
  RecordingWindow window;
  bool destroyed = true;
  bool subclassed = true;
  std::thread([&] {
    destroyed = DestroyWindow(window.handle());
    subclassed =
        static_cast<bool>(SetWindowProcedure(window.handle(), [](auto...) { return LResult{0}; }));
  }).join();
  EXPECT_FALSE(destroyed);
  EXPECT_FALSE(subclassed);
  EXPECT_TRUE(IsWindow(window.handle()));
}

TEST(RealClockTimer, WaitingEndsWhenATimerIsDue) {
  int calls = 0;
  const TimerId id = SetTimer(0, 0, 1, [&](WindowHandle, TimerId) { ++calls; });
  while (calls == 0) {
    EXPECT_TRUE(WaitForMessage(60'000));
    ProcessPendingMessages();
  }
  EXPECT_EQ(calls, 1);
  KillTimer(0, id);
}

}  // namespace
}  // namespace tarvik::platform
