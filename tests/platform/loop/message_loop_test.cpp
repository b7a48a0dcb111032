#include "platform/loop/message_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/time/clock.h"

namespace tarvik::platform {
namespace {

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

void DrainQueue() {
  while (ProcessPendingMessages() > 0) {
  }
}

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

// Timers run on the injectable clock, so these tests move time by hand.
class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { SetClockForTesting(clock_); }
  void TearDown() override { SetClockForTesting(nullptr); }
  std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
};

TEST_F(TimerTest, AWindowTimerSendsTimerMessagesEachPeriod) {
  RecordingWindow window;
  ASSERT_EQ(SetTimer(window.handle(), 7, 100), 7u);
  DrainQueue();
  clock_->Advance(99);
  EXPECT_FALSE(WaitForMessage(0));
  DrainQueue();
  EXPECT_TRUE(window.seen.empty());
  clock_->Advance(1);
  EXPECT_TRUE(WaitForMessage(0));
  DrainQueue();
  EXPECT_EQ(window.seen, (std::vector<Seen>{{window.handle(), kWmTimer, 7, 0}}));
  clock_->Advance(100);
  DrainQueue();
  EXPECT_EQ(window.seen.size(), 2u);
  EXPECT_TRUE(KillTimer(window.handle(), 7));
  EXPECT_FALSE(KillTimer(window.handle(), 7));
  clock_->Advance(1000);
  DrainQueue();
  EXPECT_EQ(window.seen.size(), 2u);
}

TEST_F(TimerTest, ResettingATimerRestartsItsPeriod) {
  RecordingWindow window;
  SetTimer(window.handle(), 1, 100);
  clock_->Advance(60);
  SetTimer(window.handle(), 1, 100);
  clock_->Advance(60);
  DrainQueue();
  EXPECT_TRUE(window.seen.empty());
  clock_->Advance(40);
  DrainQueue();
  EXPECT_EQ(window.seen.size(), 1u);
}

TEST_F(TimerTest, ThreadTimersNeedAProcedureAndGetFreshIds) {
  EXPECT_EQ(SetTimer(0, 5, 10), 0u);
  std::vector<TimerId> fired;
  const TimerId first = SetTimer(0, 5, 10, [&](WindowHandle w, TimerId id) {
    EXPECT_EQ(w, 0u);
    fired.push_back(id);
  });
  const TimerId second = SetTimer(0, 5, 20, [&](WindowHandle, TimerId id) { fired.push_back(id); });
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  clock_->Advance(20);
  DrainQueue();
  EXPECT_EQ(fired, (std::vector<TimerId>{first, second}));
  KillTimer(0, first);
  KillTimer(0, second);
}

TEST_F(TimerTest, ATimerDoesNotFireAgainInsideItsOwnProcedure) {
  int depth = 0;
  int calls = 0;
  int deepest = 0;
  const TimerId id = SetTimer(0, 0, 10, [&](WindowHandle, TimerId) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    clock_->Advance(10);
    ProcessPendingMessages();  // a blocking wait inside the handler
    --depth;
  });
  clock_->Advance(10);
  ProcessPendingMessages();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(deepest, 1);
  clock_->Advance(10);
  ProcessPendingMessages();
  EXPECT_EQ(calls, 2);
  KillTimer(0, id);
}

TEST_F(TimerTest, DestroyingTheWindowStopsItsTimers) {
  int calls = 0;
  const WindowHandle window = CreateHiddenWindow();
  SetTimer(window, 3, 10, [&](WindowHandle, TimerId) { ++calls; });
  DestroyWindow(window);
  clock_->Advance(100);
  DrainQueue();
  EXPECT_EQ(calls, 0);
}

TEST_F(TimerTest, ATimerMayKillItselfOrAnotherWhileRunning) {
  int first_calls = 0;
  int second_calls = 0;
  TimerId second = 0;
  const TimerId first = SetTimer(0, 0, 10, [&](WindowHandle, TimerId self) {
    ++first_calls;
    KillTimer(0, self);
    KillTimer(0, second);
  });
  second = SetTimer(0, 0, 10, [&](WindowHandle, TimerId) { ++second_calls; });
  ASSERT_LT(first, second);  // the first one runs first within a pass
  clock_->Advance(10);
  DrainQueue();
  clock_->Advance(10);
  DrainQueue();
  EXPECT_EQ(first_calls, 1);
  EXPECT_EQ(second_calls, 0);
}

TEST_F(TimerTest, ATimerWhoseProcedureThrewGoesOnFiring) {
  int calls = 0;
  const TimerId id = SetTimer(0, 0, 10, [&](WindowHandle, TimerId) {
    if (++calls == 1) throw std::runtime_error("tick failed");
  });
  clock_->Advance(10);
  EXPECT_THROW(ProcessPendingMessages(), std::runtime_error);
  clock_->Advance(10);
  ProcessPendingMessages();
  EXPECT_EQ(calls, 2);
  KillTimer(0, id);
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
