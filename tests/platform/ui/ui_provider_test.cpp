#include "platform/ui/ui_provider.h"

#include <gtest/gtest.h>

#include "platform/ui/scripted_ui_provider.h"
#include "platform/ui/top_level_windows.h"

namespace tarvik::platform {
namespace {

TEST(UiProviderTest, DefaultButtonIsWhatEnterChooses) {
  struct Row {
    unsigned flags;
    int answer;
  };
  const Row rows[] = {
      {MB_OK, IDOK},
      {MB_OK | MB_ICONERROR, IDOK},
      {MB_OKCANCEL, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL, IDRETRY},
      {0xF, IDOK},  // unknown box type
  };
  for (const Row& row : rows) EXPECT_EQ(DefaultButton(row.flags), row.answer) << row.flags;
}

TEST(UiProviderTest, HeadlessBoxWritesToStandardErrorAndAnswersOk) {
  SetUiProvider(nullptr);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox("Disk full(112)", "", MB_OK), IDOK);
  EXPECT_EQ(MessageBox("Replace?", "Confirm File Replace", MB_YESNO), IDYES);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Disk full(112)\nConfirm File Replace: Replace?\n");
}

TEST(UiProviderTest, HeadlessDialogsAnswerCancel) {
  SetUiProvider(nullptr);
  UiProvider& ui = CurrentUiProvider();
  EXPECT_EQ(ui.OpenFileDialog({"Open", "*.txt", "C:\\", ""}), std::nullopt);
  EXPECT_EQ(ui.SaveFileDialog({"Save", "", "", "a.txt"}), std::nullopt);
  EXPECT_EQ(ui.BrowseForFolder({"Pick", "C:\\"}), std::nullopt);
}

TEST(UiProviderTest, HeadlessReplaceAndRenameDialogsCancel) {
  SetUiProvider(nullptr);
  EXPECT_EQ(ReplaceDialog({"Confirm File Replace", "text", "a.txt", true, {}}), kReplaceCancel);
  EXPECT_EQ(RenameDialog({"Rename", "a.txt", "a"}), std::nullopt);
  // A scripted provider with nothing queued answers the same, and records what it was shown.
  auto scripted = std::make_shared<ScriptedUiProvider>();
  SetUiProvider(scripted);
  EXPECT_EQ(ReplaceDialog({"Confirm", "both files", "a.txt", false, {}}), kReplaceCancel);
  EXPECT_EQ(RenameDialog({"Rename", "a.txt", "a"}), std::nullopt);
  SetUiProvider(nullptr);
  ASSERT_EQ(scripted->replace_dialogs().size(), 1u);
  EXPECT_FALSE(scripted->replace_dialogs()[0].resume_enabled);
  EXPECT_EQ(scripted->rename_dialogs().size(), 1u);
}

TEST(UiProviderTest, ScriptedProviderRecordsAndAnswersFromItsQueues) {
  auto scripted = std::make_shared<ScriptedUiProvider>();
  scripted->QueueAnswer(IDNO);
  scripted->QueueDialogAnswer("C:\\docs\\a.txt");
  scripted->QueueDialogAnswer(std::nullopt);
  SetUiProvider(scripted);
  EXPECT_EQ(MessageBox("first", "T", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBox("second", "", MB_OKCANCEL), IDOK);  // queue empty: default button
  EXPECT_EQ(CurrentUiProvider().OpenFileDialog({"Open", "Text|*.txt", "C:\\docs", "x"}),
            "C:\\docs\\a.txt");
  EXPECT_EQ(CurrentUiProvider().BrowseForFolder({"Folder", "D:\\"}), std::nullopt);
  EXPECT_EQ(CurrentUiProvider().SaveFileDialog({}), std::nullopt);
  SetUiProvider(nullptr);

  ASSERT_EQ(scripted->boxes().size(), 2u);
  EXPECT_EQ(scripted->boxes()[0].text, "first");
  EXPECT_EQ(scripted->boxes()[0].title, "T");
  EXPECT_EQ(scripted->boxes()[0].flags, MB_YESNO);
  EXPECT_EQ(scripted->boxes()[1].text, "second");
  ASSERT_EQ(scripted->dialogs().size(), 3u);
  EXPECT_EQ(scripted->dialogs()[0].kind, ScriptedUiProvider::DialogKind::kOpenFile);
  EXPECT_EQ(scripted->dialogs()[0].filter, "Text|*.txt");
  EXPECT_EQ(scripted->dialogs()[0].file_name, "x");
  EXPECT_EQ(scripted->dialogs()[1].kind, ScriptedUiProvider::DialogKind::kBrowseForFolder);
  EXPECT_EQ(scripted->dialogs()[1].initial_folder, "D:\\");
  EXPECT_EQ(scripted->dialogs()[2].kind, ScriptedUiProvider::DialogKind::kSaveFile);
}

TEST(UiProviderTest, DialogsAreTopLevelWindowsUnderTheirCaptionsWhileShown) {
  auto scripted = std::make_shared<ScriptedUiProvider>();
  SetUiProvider(scripted);
  std::vector<TopLevelWindow> found;
  scripted->WhileShown([&] {
    found = {FindWindow("Pick"), FindWindow(kBrowseForFolderCaption), FindWindow("Save As")};
  });
  OpenFileDialog({"Pick", "", "", ""});
  EXPECT_NE(found[0], 0u);
  BrowseForFolder({"Choose one", ""});  // the caption is the system's, not the text shown
  EXPECT_EQ(found[0], 0u);
  EXPECT_NE(found[1], 0u);
  SaveFileDialog({});
  EXPECT_NE(found[2], 0u);
  SetUiProvider(nullptr);
  EXPECT_EQ(FindWindow("Pick"), 0u);
  EXPECT_FALSE(SetWindowPos(found[0], HWND_TOPMOST));  // gone with its dialog

  // Of two windows with one title the later is found; topmost is kept per window.
  ShownWindow first("Same");
  {
    ShownWindow second("Same");
    EXPECT_EQ(FindWindow("Same"), second.handle());
    EXPECT_TRUE(SetWindowPos(second.handle(), HWND_TOPMOST));
    EXPECT_FALSE(SetWindowPos(second.handle(), 0));  // only the topmost band is offered
    EXPECT_TRUE(IsWindowTopMost(second.handle()));
    EXPECT_FALSE(IsWindowTopMost(first.handle()));
    EXPECT_EQ(FindWindow("same"), 0u);  // the title matches exactly
  }
  EXPECT_EQ(FindWindow("Same"), first.handle());
}

}  // namespace
}  // namespace tarvik::platform
