// The host's progress line and its answers to the control's message boxes and dialogs.
#include <stdio.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/host_ui_provider.h"
#include "host/line_editor.h"
#include "host/local_paths.h"
#include "host/progress_bar.h"

namespace tarvik::host {
namespace {

TEST(ProgressLineTest, DrawsBarPercentSizesAndSpeed) {
  EXPECT_EQ(ProgressLine({50, 1536, 3072, 2048}, 10),
            "[=====>    ]  50%  1.5 KiB / 3.0 KiB  2.0 KiB/s");
  EXPECT_EQ(ProgressLine({100, 3072, 3072, 0}, 10), "[==========] 100%  3.0 KiB / 3.0 KiB");
  // Unknown size: the bytes so far only; out-of-range percentages are held to 0..100.
  EXPECT_EQ(ProgressLine({-5, 10, 0, 0}, 4), "[>   ]   0%  10 B");
  EXPECT_EQ(ProgressLine({250, 10, 0, 0}, 4), "[====] 100%  10 B");
}

TEST(ProgressLineTest, ByteTextUsesBinaryUnits) {
  EXPECT_EQ(ByteText(0), "0 B");
  EXPECT_EQ(ByteText(1023), "1023 B");
  EXPECT_EQ(ByteText(1024), "1.0 KiB");
  EXPECT_EQ(ByteText(5.5 * 1024 * 1024 * 1024), "5.5 GiB");
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
  fputs("maybe\nretry\nno\n\n/no/such/folder\n/tmp\n", terminal);
  rewind(terminal);
  FILE* questions = tmpfile();
  ASSERT_NE(questions, nullptr);
  HostUiProvider ui(terminal, questions, {}, {});
  // "maybe" is no button and "retry" not one of this box: asked again until "no".
  EXPECT_EQ(ui.MessageBox("Overwrite?", "Title", platform::MB_YESNO), platform::IDNO);
  // An empty line takes the default button.
  EXPECT_EQ(ui.MessageBox("Sure?", "Title", platform::MB_OKCANCEL), platform::IDOK);
  // A folder that is not there is refused and asked again.
  EXPECT_EQ(ui.BrowseForFolder({"Pick", ""}), "Z:\\tmp");
  // End of input cancels.
  EXPECT_EQ(ui.OpenFileDialog({}), std::nullopt);
  // The questions showed the box, its buttons with the default starred, and the dialog.
  rewind(questions);
  std::string shown;
  for (int c = fgetc(questions); c != EOF; c = fgetc(questions)) shown += static_cast<char>(c);
  EXPECT_NE(shown.find("Overwrite?"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Answer yes* no:"), std::string::npos) << shown;
  EXPECT_NE(shown.find("[Folder] Pick"), std::string::npos) << shown;
  EXPECT_NE(shown.find("no such folder: /no/such/folder\n"), std::string::npos) << shown;
  fclose(questions);
  fclose(terminal);
}

// The replace question about report.txt as the control asks it.
platform::ReplaceDialogRequest ReplaceQuestion(bool resume_enabled) {
  return {"Confirm File Replace",
          "report.txt exists",
          "report.txt",
          resume_enabled,
          {"Cancel(&C)", "Overwrite(&O)", "Overwrite All(&F)", "Rename(&N)", "Resume(&R)",
           "Resume All(&X)", "Skip(&S)", "Skip All(&T)"}};
}

std::string ReadAll(FILE* file) {
  rewind(file);
  std::string text;
  for (int c = fgetc(file); c != EOF; c = fgetc(file)) text += static_cast<char>(c);
  return text;
}

TEST(ButtonNameTest, ReplaceButtonsByNameInAnyCase) {
  EXPECT_EQ(ButtonFromName("OverwriteAll"), kReplaceAnswer + platform::kReplaceOverwriteAll);
  EXPECT_EQ(ButtonFromName("RESUME"), kReplaceAnswer + platform::kReplaceResume);
  EXPECT_EQ(ButtonFromName("skipall"), kReplaceAnswer + platform::kReplaceSkipAll);
  EXPECT_EQ(ButtonFromName("Rename"), kReplaceAnswer + platform::kReplaceRename);
  EXPECT_EQ(ButtonFromName("Cancel"), platform::IDCANCEL);  // cancels boxes and the question
  EXPECT_EQ(ButtonFromName("overwrite all"), std::nullopt);
}

TEST(HostUiProviderTest, ReplaceAndRenameTakeTheCommandLineAnswersInOrder) {
  HostUiProvider ui(nullptr, nullptr,
                    {kReplaceAnswer + platform::kReplaceRename, platform::IDCANCEL, platform::IDYES,
                     kReplaceAnswer + platform::kReplaceSkip},
                    {std::string("draft")});
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ui.ReplaceDialog(ReplaceQuestion(true)), platform::kReplaceRename);
  EXPECT_EQ(ui.RenameDialog({"Rename", "report.txt", "report"}), "draft");  // not a path
  EXPECT_EQ(ui.ReplaceDialog(ReplaceQuestion(true)), platform::kReplaceCancel);
  // "yes" is no button of the question: Cancel; "skip" is none of a box: its default.
  EXPECT_EQ(ui.ReplaceDialog(ReplaceQuestion(true)), platform::kReplaceCancel);
  EXPECT_EQ(ui.MessageBox("Sure?", "", platform::MB_OKCANCEL), platform::IDOK);
  // Nothing left and no terminal: Cancel.
  EXPECT_EQ(ui.ReplaceDialog(ReplaceQuestion(true)), platform::kReplaceCancel);
  EXPECT_EQ(ui.RenameDialog({"Rename", "report.txt", "report"}), std::nullopt);
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("[Confirm File Replace] report.txt -> rename"), std::string::npos) << told;
  EXPECT_NE(told.find("yes is no button of this dialog"), std::string::npos) << told;
  EXPECT_NE(told.find("[Rename] report.txt -> cancel"), std::string::npos) << told;
}

TEST(HostUiProviderTest, ReplaceQuestionAtTheTerminalTakesAccessKeysAndNames) {
  FILE* terminal = tmpfile();
  ASSERT_NE(terminal, nullptr);
  fputs("z\nr\nx\nskip\n\n draft\n", terminal);
  rewind(terminal);
  FILE* questions = tmpfile();
  ASSERT_NE(questions, nullptr);
  HostUiProvider ui(terminal, questions, {}, {});
  // "z" is no key and "r" the disabled Resume: asked again until "x".
  EXPECT_EQ(ui.ReplaceDialog(ReplaceQuestion(false)), platform::kReplaceResumeAll);
  EXPECT_EQ(ui.ReplaceDialog(ReplaceQuestion(true)), platform::kReplaceSkip);
  EXPECT_EQ(ui.RenameDialog({"Rename", "report.txt", "report"}), std::nullopt);  // empty line
  EXPECT_EQ(ui.RenameDialog({"Rename", "report.txt", "report"}), " draft");      // as typed
  EXPECT_EQ(ui.ReplaceDialog(ReplaceQuestion(true)), platform::kReplaceCancel);  // end of input
  const std::string shown = ReadAll(questions);
  EXPECT_NE(shown.find("[Confirm File Replace]\nreport.txt exists\n"), std::string::npos) << shown;
  // A disabled Resume is shown faint, and refused when typed.
  EXPECT_NE(shown.find("Overwrite(O) \x1b[2mResume(R)\x1b[22m Skip(S) Rename(N) Overwrite All(F) "
                       "Resume All(X) Skip All(T) Cancel(C)? "),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("Resume is not available"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Overwrite(O) Resume(R) Skip(S)"), std::string::npos) << shown;
  EXPECT_NE(shown.find("[Rename] report.txt\nNew name"), std::string::npos) << shown;
  fclose(questions);
  fclose(terminal);
}

TEST(DialogAnswerTest, AnswersAreCheckedAgainstWhatTheDialogAsks) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("tarvik-answer-" + std::to_string(getpid()));
  fs::create_directories(folder / "sub");
  std::ofstream(folder / "one.txt") << "1";
  std::ofstream(folder / "two.txt") << "2";
  const std::string f = folder.string();
  const std::string drive = ToDrivePaths(f, nullptr).value();  // under Z:, the whole file system
  struct Row {
    std::string answer;
    Selection selection;
    bool file_must_exist;
    std::optional<std::string> result;  // nullopt: refused
  };
  const Row rows[] = {
      {"one.txt", Selection::kFile, true, drive + "\\one.txt"},  // relative: from the start folder
      {"one.txt|" + f + "/two.txt", Selection::kFiles, true,
       drive + "\\one.txt|" + drive + "\\two.txt"},
      {"one.txt|two.txt", Selection::kFile, true, std::nullopt},      // one only
      {"three.txt", Selection::kFile, true, std::nullopt},            // must exist
      {"three.txt", Selection::kFile, false, drive + "\\three.txt"},  // a new file to save
      {"gone/three.txt", Selection::kFile, false, std::nullopt},      // its folder is not there
      {"sub", Selection::kFile, false, std::nullopt},                 // a folder is no file
      {"sub", Selection::kFolder, true, drive + "\\sub"},
      {"one.txt", Selection::kFolder, true, std::nullopt},
  };
  for (const Row& row : rows) {
    std::string why;
    const DialogConditions conditions{"t", "", "", row.selection, row.file_must_exist, true};
    EXPECT_EQ(CheckedAnswer(row.answer, f, conditions, &why), row.result) << row.answer;
    EXPECT_EQ(why.empty(), row.result.has_value()) << row.answer << ": " << why;
  }
  // Completion: one choice whole (a folder with "/"), several to their common beginning.
  EXPECT_EQ(CompletePath("su", f).text, "sub/");
  EXPECT_EQ(CompletePath(f + "/o", f).text, f + "/one.txt");
  const PathCompletion both = CompletePath("a|t", f);
  EXPECT_EQ(both.text, "a|two.txt");
  const PathCompletion many = CompletePath("", f);
  EXPECT_EQ(many.choices, (std::vector<std::string>{"one.txt", "sub/", "two.txt"}));
  EXPECT_EQ(many.text, "");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace tarvik::host
