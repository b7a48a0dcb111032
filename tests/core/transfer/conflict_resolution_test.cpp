#include "core/transfer/conflict_resolution.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "core/errors/message_table.h"
#include "core/errors/numbered_error.h"
#include "platform/text/digit_grouping.h"
#include "platform/ui/scripted_ui_provider.h"

namespace tarvik {
namespace {

using platform::ScriptedUiProvider;

constexpr std::string_view kRule = "{oldname}_copy";

// A download of report.txt (200 bytes) onto an existing local report.txt of 100 bytes.
ConflictQuery ExistingDestination() {
  ConflictQuery query;
  query.file_name = "report.txt";
  query.destination_exists = true;
  query.destination_size = 100;
  query.destination_date = "1/5/2019 12:30:45 PM";
  query.source_size = 200;
  query.source_date = "1/6/2019";
  return query;
}

class ConflictResolutionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadMessageTexts();
    platform::SetDigitGroupSeparator(",");
    platform::SetUiProvider(ui_);
  }
  void TearDown() override {
    platform::SetUiProvider(nullptr);
    platform::SetDigitGroupSeparator("");
  }

  // Resolves `query`; the number of a NumberedError raised lands in `error`.
  ConflictDecision Resolve(const ConflictQuery& query) {
    error_.reset();
    try {
      return ResolveConflict(code_, overwrite_, kRule, query, windows_);
    } catch (const NumberedError& raised) {
      error_ = raised.number();
      error_text_ = raised.description();
      return {};
    }
  }

  std::shared_ptr<ScriptedUiProvider> ui_ = std::make_shared<ScriptedUiProvider>();
  std::int16_t code_ = 0;
  bool overwrite_ = false;
  std::string windows_;
  std::optional<long> error_;
  std::string error_text_;
};

TEST_F(ConflictResolutionTest, EveryStandingCodeAndEveryDialogAnswer) {
  constexpr int kNoDialog = -1;
  struct Row {
    std::int16_t code;  // the code before
    int button;         // the dialog's answer; kNoDialog when no dialog should be asked
    bool overwrite;     // the Overwrite flag before
    ConflictOutcome outcome;
    bool overwrite_after;
    std::int16_t code_after;
    bool canceled;
  };
  using O = ConflictOutcome;
  const Row rows[] = {
      // Standing codes, set by the host.
      {1, kNoDialog, false, O::kProceed, false, 1, true},
      {2, kNoDialog, false, O::kProceed, true, 0, false},
      {3, kNoDialog, false, O::kProceed, true, 3, false},
      {4, kNoDialog, false, O::kRename, false, 4, false},
      {5, kNoDialog, true, O::kProceed, false, 5, false},
      {6, kNoDialog, true, O::kProceed, false, 6, false},
      {7, kNoDialog, true, O::kSkip, true, 7, false},
      {8, kNoDialog, false, O::kSkip, false, 8, false},
      {9, kNoDialog, true, O::kProceed, true, 9, false},  // no answer: Overwrite decides
      {-3, kNoDialog, false, O::kProceed, false, -3, false},
      // Answers in the dialog: "all" answers stay, the others are used up by this file.
      {0, platform::kReplaceCancel, false, O::kProceed, false, 0, true},
      {0, platform::kReplaceOverwrite, false, O::kProceed, true, 0, false},
      {0, platform::kReplaceOverwriteAll, false, O::kProceed, true, 23, false},
      {0, platform::kReplaceRename, false, O::kRename, false, 0, false},
      {0, platform::kReplaceResume, true, O::kProceed, false, 0, false},
      {0, platform::kReplaceResumeAll, true, O::kProceed, false, 26, false},
      {0, platform::kReplaceSkip, false, O::kSkip, false, 0, false},
      {0, platform::kReplaceSkipAll, false, O::kSkip, false, 28, false},
      // A dialog closed without a button, or a provider's answer that is no button: Cancel.
      {0, 0, false, O::kProceed, false, 0, true},
      {0, 9, false, O::kProceed, false, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "code " << row.code << ", button " << row.button);
    ui_ = std::make_shared<ScriptedUiProvider>();
    platform::SetUiProvider(ui_);
    if (row.button != kNoDialog) ui_->QueueReplaceAnswer(row.button);
    ui_->QueueRenameAnswer("draft");
    code_ = row.code;
    overwrite_ = row.overwrite;

    const ConflictDecision decision = Resolve(ExistingDestination());

    EXPECT_EQ(ui_->replace_dialogs().size(), row.button == kNoDialog ? 0u : 1u);
    EXPECT_EQ(error_.has_value(), row.canceled);
    if (row.canceled) {
      EXPECT_EQ(*error_, 16010);
      EXPECT_EQ(error_text_, "The operation has been canceled");
    } else {
      EXPECT_EQ(decision.outcome, row.outcome);
      EXPECT_EQ(decision.overwrite, row.overwrite_after);
    }
    EXPECT_EQ(overwrite_, row.overwrite_after);
    EXPECT_EQ(code_, row.code_after);
    if (decision.outcome == O::kRename) {
      EXPECT_EQ(decision.new_name, row.button == kNoDialog ? "report_copy.txt" : "draft.txt");
    }
  }
}

TEST_F(ConflictResolutionTest, ReplaceDialogShowsBothFilesAndIsKeptOnTop) {
  ConflictQuery query = ExistingDestination();
  query.destination_size = 1048576;
  query.source_size = 2097152;
  windows_ = "Transfer";
  Resolve(query);
  query.file_name = "{1}.txt";  // a name that looks like a placeholder stays as it is
  query.sizes_unknown = true;   // shown as unknown on a download only
  Resolve(query);
  query.upload = true;
  Resolve(query);
  ASSERT_EQ(ui_->replace_dialogs().size(), 3u);
  const platform::ReplaceDialogRequest& shown = ui_->replace_dialogs()[0];
  EXPECT_EQ(shown.title, "Confirm File Replace");
  EXPECT_EQ(shown.text,
            "This folder already contains a file named 'report.txt'.\r\n"
            "Would you like to replace the existing file\r\n"
            " 1,048,576 Bytes , 1/5/2019 12:30:45 PM\r\n"
            "with this one?\r\n"
            "2,097,152 Bytes , 1/6/2019\r\n");
  EXPECT_EQ(shown.captions[platform::kReplaceOverwriteAll - 1], "Overwrite All(&F)");
  EXPECT_EQ(windows_, "Transfer|Confirm File Replace|Confirm File Replace|Confirm File Replace");
  const std::string& unknown = ui_->replace_dialogs()[1].text;
  EXPECT_TRUE(unknown.starts_with("This folder already contains a file named '{1}.txt'"));
  EXPECT_TRUE(unknown.ends_with("with this one?\r\nUnknown Bytes , \r\n")) << unknown;
  EXPECT_TRUE(ui_->replace_dialogs()[2].text.ends_with("2,097,152 Bytes , 1/6/2019\r\n"));
}

TEST_F(ConflictResolutionTest, ResumeIsDisabledWhenTheDestinationIsNotSmaller) {
  ConflictQuery query = ExistingDestination();
  for (double destination : {100, 200, 300}) {
    query.destination_size = destination;
    Resolve(query);
    EXPECT_EQ(ui_->replace_dialogs().back().resume_enabled, destination < 200) << destination;
  }
  // Resume, which the disabled button cannot give, counts as Cancel; Resume All stays possible.
  ui_->QueueReplaceAnswer(platform::kReplaceResume);
  ui_->QueueReplaceAnswer(platform::kReplaceResumeAll);
  Resolve(query);
  EXPECT_EQ(error_, 16010);
  overwrite_ = true;
  EXPECT_FALSE(Resolve(query).overwrite);
  EXPECT_EQ(code_, 26);
}

TEST_F(ConflictResolutionTest, OverwriteAllFromTheDialogLastsUntilTheBatchEnds) {
  ui_->QueueReplaceAnswer(platform::kReplaceOverwriteAll);
  ui_->QueueReplaceAnswer(platform::kReplaceSkip);
  EXPECT_TRUE(Resolve(ExistingDestination()).overwrite);
  EXPECT_TRUE(Resolve(ExistingDestination()).overwrite);
  EXPECT_EQ(ui_->replace_dialogs().size(), 1u);

  EndBatchAnswers(code_);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(Resolve(ExistingDestination()).outcome, ConflictOutcome::kSkip);
  EXPECT_EQ(ui_->replace_dialogs().size(), 2u);

  code_ = 3;  // set by the host: outlasts every batch
  EndBatchAnswers(code_);
  EXPECT_EQ(code_, 3);
}

TEST_F(ConflictResolutionTest, NoDialogRenameOrSkipForAnAbsentOrEmptyDestination) {
  struct Row {
    bool exists;
    double size;
  };
  const Row rows[] = {{false, 100}, {true, 0}, {true, -1}, {true, -2}};
  for (const Row& row : rows) {
    for (std::int16_t code : {0, 4, 7, 8}) {
      SCOPED_TRACE(testing::Message() << row.exists << " " << row.size << " code " << code);
      ConflictQuery query = ExistingDestination();
      query.destination_exists = row.exists;
      query.destination_size = row.size;
      code_ = code;
      overwrite_ = true;
      const ConflictDecision decision = Resolve(query);
      EXPECT_EQ(decision.outcome, ConflictOutcome::kProceed);
      EXPECT_TRUE(decision.overwrite);
      EXPECT_EQ(code_, code);
    }
  }
  EXPECT_TRUE(ui_->replace_dialogs().empty());
  EXPECT_TRUE(windows_.empty());
}

TEST_F(ConflictResolutionTest, RenameDialogAsksUntilTheNameIsUsable) {
  ui_->QueueReplaceAnswer(platform::kReplaceRename);
  ui_->QueueRenameAnswer(std::nullopt);  // cancelled: back to the replace dialog
  ui_->QueueReplaceAnswer(platform::kReplaceRename);
  ui_->QueueRenameAnswer("   ");
  ui_->QueueRenameAnswer("REPORT");  // the old name, in another case
  ui_->QueueRenameAnswer(" draft ");
  const ConflictDecision decision = Resolve(ExistingDestination());

  EXPECT_EQ(decision.outcome, ConflictOutcome::kRename);
  EXPECT_EQ(decision.new_name, "draft.txt");
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(ui_->replace_dialogs().size(), 2u);
  ASSERT_EQ(ui_->rename_dialogs().size(), 4u);
  EXPECT_EQ(ui_->rename_dialogs()[0].old_name, "report.txt");
  EXPECT_EQ(ui_->rename_dialogs()[0].proposed_name, "report");
  ASSERT_EQ(ui_->boxes().size(), 2u);
  EXPECT_EQ(ui_->boxes()[0].text, "Please input filename!");
  EXPECT_EQ(ui_->boxes()[1].text, "The folder already contains a file named [ REPORT ]");
}

TEST(RenameByRuleTest, PlaceholderOrOneAppended) {
  const char* rows[][3] = {
      {"report.txt", "{oldname}_copy", "report_copy.txt"},
      {"report.txt", "backup", "report1.txt"},     // no placeholder
      {"report.txt", "{oldname}", "report1.txt"},  // the old name back
      {"report.txt", "{oldname}-{oldname}", "report-report.txt"},
      {"archive.tar.gz", "{oldname}_old", "archive.tar_old.gz"},
      {".profile", "{oldname}_copy", ".profile_copy"},  // a leading dot is no extension
  };
  for (const auto& row : rows) EXPECT_EQ(RenameByRule(row[0], row[1]), row[2]) << row[1];
}

}  // namespace
}  // namespace tarvik
