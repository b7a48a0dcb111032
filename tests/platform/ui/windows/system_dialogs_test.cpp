#include <gtest/gtest.h>

#include <string>

#include "platform/ui/system_ui_provider.h"
#include "platform/ui/windows/common_dialogs.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

using namespace std::string_literals;

TEST(SystemDialogsTest, FilterListEndsEachPartAndTheList) {
  const struct {
    const char* filter;
    std::wstring list;  // without the final zero that c_str() adds
  } rows[] = {
      {"", L"*.*\0*.*\0"s},
      {"Text (*.txt)|*.txt", L"Text (*.txt)\0*.txt\0"s},
      {"A|*.a;*.b|Alle|*.*", L"A\0*.a;*.b\0Alle\0*.*\0"s},
  };
  for (const auto& row : rows) EXPECT_EQ(FilterList(row.filter), row.list) << row.filter;
}

TEST(SystemDialogsTest, ChosenFilesAreFullPathsJoinedByBars) {
  const struct {
    std::wstring buffer;  // as the open dialog leaves it, ended by two zeros
    const char* chosen;
  } rows[] = {
      {L"C:\\docs\\a.txt\0\0"s, "C:\\docs\\a.txt"},
      {L"C:\\docs\0a.txt\0b.txt\0\0"s, "C:\\docs\\a.txt|C:\\docs\\b.txt"},
      {L"C:\\\0a.txt\0b.txt\0\0"s, "C:\\a.txt|C:\\b.txt"},
      {L"\\\\host\\share\0x\0D:\\y\0\0"s, "\\\\host\\share\\x|D:\\y"},
      {L"C:\\d\0\u00fc.txt\0\0"s, "C:\\d\\\xc3\xbc.txt"},
  };
  for (const auto& row : rows) EXPECT_EQ(ChosenFiles(row.buffer.c_str()), row.chosen);
}

// Without a display no window opens: every question gets the headless answer at once, after the
// real window was tried.
TEST(SystemDialogsTest, WithoutADisplayEveryQuestionGetsTheHeadlessAnswer) {
  SetUiProvider(nullptr);
  UiProvider& ui = CurrentUiProvider();
  EXPECT_EQ(&ui, &SystemUiProvider());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ui.MessageBox("Replace?", "Confirm", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(ui.MessageBox("Done", "", MB_OK), IDOK);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Confirm: Replace?\nDone\n");
  EXPECT_EQ(ui.OpenFileDialog({"Open", "*.txt", "C:\\", "a.txt", true, true, true}), std::nullopt);
  EXPECT_EQ(ui.SaveFileDialog({"Save", "", "C:\\", "a.txt"}), std::nullopt);
  EXPECT_EQ(ui.BrowseForFolder({"Pick", "C:\\windows"}), std::nullopt);
  ReplaceDialogRequest replace{"Confirm File Replace", "both files", "a.txt", false, {}};
  for (std::size_t i = 0; i < replace.captions.size(); ++i)
    replace.captions[i] = "Button" + std::to_string(i + 1);
  EXPECT_EQ(ui.ReplaceDialog(replace), kReplaceCancel);
  EXPECT_EQ(ui.RenameDialog({"Rename", "a.txt", "a"}), std::nullopt);
  for (const wchar_t* name : {L"frmReplaceSetting", L"frmReName"}) {
    ::WNDCLASSEXW found{};
    found.cbSize = sizeof found;
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name, &found));
  }
}

}  // namespace
}  // namespace tarvik::platform
