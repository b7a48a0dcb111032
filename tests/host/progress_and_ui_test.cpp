// The host's progress line and its answers to the control's message boxes and dialogs.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "host/host_ui_provider.h"
#include "host/progress_bar.h"

namespace tarvik::host {
namespace {

TEST(ProgressLineTest, DrawsBarPercentSizesAndSpeed) {
  EXPECT_EQ(ProgressLine({50, 1536, 3072, 2048}, 10),
            "[=====>    ]  50%  1.5 KB / 3.0 KB  2.0 KB/s");
  EXPECT_EQ(ProgressLine({100, 3072, 3072, 0}, 10), "[==========] 100%  3.0 KB / 3.0 KB");
  // Unknown size: the bytes so far only; out-of-range percentages are held to 0..100.
  EXPECT_EQ(ProgressLine({-5, 10, 0, 0}, 4), "[>   ]   0%  10 B");
  EXPECT_EQ(ProgressLine({250, 10, 0, 0}, 4), "[====] 100%  10 B");
}

TEST(ProgressLineTest, ByteTextUsesBinaryUnits) {
  EXPECT_EQ(ByteText(0), "0 B");
  EXPECT_EQ(ByteText(1023), "1023 B");
  EXPECT_EQ(ByteText(1024), "1.0 KB");
  EXPECT_EQ(ByteText(5.5 * 1024 * 1024 * 1024), "5.5 GB");
}

TEST(ButtonNameTest, NamesAndNumbersOfButtons) {
  EXPECT_EQ(ButtonFromName("OK"), platform::IDOK);
  EXPECT_EQ(ButtonFromName("cancel"), platform::IDCANCEL);
  EXPECT_EQ(ButtonFromName("Yes"), platform::IDYES);
  EXPECT_EQ(ButtonFromName("7"), platform::IDNO);
  EXPECT_EQ(ButtonFromName("8"), std::nullopt);
  EXPECT_EQ(ButtonFromName("maybe"), std::nullopt);
}

TEST(HostUiProviderTest, ScriptedAnswersComeFirstThenDefaults) {
  HostUiProvider ui(nullptr, nullptr, {platform::IDNO},
                    {std::string("C:\\picked.txt"), std::nullopt});
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ui.MessageBox("Replace?", "Title", platform::MB_YESNO), platform::IDNO);
  // No answers left and no terminal: the default button, and the box is told on stderr.
  EXPECT_EQ(ui.MessageBox("Replace?", "Title", platform::MB_YESNO | platform::MB_DEFBUTTON2),
            platform::IDNO);
  EXPECT_EQ(ui.MessageBox("Done", "Title", platform::MB_OK), platform::IDOK);
  EXPECT_EQ(ui.OpenFileDialog({}), "C:\\picked.txt");
  EXPECT_EQ(ui.SaveFileDialog({}), std::nullopt);   // scripted Cancel
  EXPECT_EQ(ui.BrowseForFolder({}), std::nullopt);  // nothing left: Cancel
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("[Title] Replace? -> no"), std::string::npos) << told;
  EXPECT_NE(told.find("[Title] Done -> ok"), std::string::npos) << told;
}

TEST(HostUiProviderTest, AsksTheTerminalUntilItGetsAButtonOfTheBox) {
  FILE* terminal = tmpfile();
  ASSERT_NE(terminal, nullptr);
  fputs("maybe\nretry\nno\n\nC:\\folder\n", terminal);
  rewind(terminal);
  FILE* questions = tmpfile();
  ASSERT_NE(questions, nullptr);
  HostUiProvider ui(terminal, questions, {}, {});
  // "maybe" is no button and "retry" not one of this box: asked again until "no".
  EXPECT_EQ(ui.MessageBox("Overwrite?", "Title", platform::MB_YESNO), platform::IDNO);
  // An empty line takes the default button.
  EXPECT_EQ(ui.MessageBox("Sure?", "Title", platform::MB_OKCANCEL), platform::IDOK);
  EXPECT_EQ(ui.BrowseForFolder({"Pick", ""}), "C:\\folder");
  // End of input cancels.
  EXPECT_EQ(ui.OpenFileDialog({}), std::nullopt);
  // The questions showed the box, its buttons with the default starred, and the dialog.
  rewind(questions);
  std::string shown;
  for (int c = fgetc(questions); c != EOF; c = fgetc(questions)) shown += static_cast<char>(c);
  EXPECT_NE(shown.find("Overwrite?"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Answer yes* no:"), std::string::npos) << shown;
  EXPECT_NE(shown.find("[Folder] Pick"), std::string::npos) << shown;
  fclose(questions);
  fclose(terminal);
}

}  // namespace
}  // namespace tarvik::host
