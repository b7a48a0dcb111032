// Timers measured on the injectable clock of the Linux loop; the Windows loop has the system's
// timers, on real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/loop/message_loop.h"
#include "platform/time/clock.h"
#include "tests/platform/loop/recording_window.h"

namespace tarvik::platform {
namespace {

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

}  // namespace
}  // namespace tarvik::platform
