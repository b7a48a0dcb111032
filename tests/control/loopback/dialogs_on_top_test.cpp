// TimerWinOnTop: while a connected control shows a dialog, its timer keeps the dialog's window
// above the others.
#include <gtest/gtest.h>

#include <memory>

#include "control/ftp_library.h"
#include "platform/loop/message_loop.h"
#include "platform/time/clock.h"
#include "platform/ui/scripted_ui_provider.h"
#include "tests/support/fake_ftp_server.h"
#include "tests/support/fake_login.h"

namespace tarvik::test {
namespace {

TEST(DialogsOnTopTest, TimerRaisesTheOpenDialogOnlyWhileConnected) {
  auto clock = std::make_shared<platform::ManualClock>();
  platform::SetClockForTesting(clock);
  auto ui = std::make_shared<platform::ScriptedUiProvider>();
  platform::SetUiProvider(ui);
  {
    FakeFtpServer server;
    PlayLogin(server);
    server.Start();
    FtpLibrary control;
    // The window a second of the modal loop leaves, before and after the timer's tick.
    struct Seen {
      bool found = false;
      bool before = false;
      bool after = false;
    } seen;
    ui->WhileShown([&] {
      const platform::TopLevelWindow window = platform::FindWindow("Select File");
      seen.found = window != 0;
      seen.before = platform::IsWindowTopMost(window);
      clock->Advance(1'000);
      platform::ProcessPendingMessages();
      seen.after = platform::IsWindowTopMost(window);
    });
    control.ShowOpenFileDialog();
    EXPECT_TRUE(seen.found);
    EXPECT_FALSE(seen.after);  // the timers run only once connected

    control.put_ServerName("127.0.0.1");
    control.put_Port(server.Port());
    control.put_Username("u");
    control.put_Password("p");
    ASSERT_TRUE(control.Connect());
    seen = {};
    control.ShowOpenFileDialog();
    EXPECT_TRUE(seen.found);
    EXPECT_FALSE(seen.before);
    EXPECT_TRUE(seen.after);
  }
  platform::SetUiProvider(nullptr);
  platform::SetClockForTesting(nullptr);
}

}  // namespace
}  // namespace tarvik::test
