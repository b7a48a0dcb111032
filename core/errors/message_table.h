// The message table: every text the control shows its user, in English, Simplified Chinese and
// Traditional Chinese (columns 0, 1, 2; column 3 holds no texts), 51 rows. The table and the
// selected column are shared by all controls of a thread: a host may replace the English column
// through LangInfo, and every control on that thread then speaks the host's texts.
//
// Row 22 keeps the two characters backslash and "n" where its lines break; the dialog that shows
// it turns them into line breaks. Row 33 has a text in column 2 only.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

inline constexpr int kMessageRowCount = 51;
inline constexpr int kMessageColumnCount = 4;

// Row numbers of the table, by what they say.
namespace message_row {
inline constexpr int kHostnameRequired = 0;
inline constexpr int kUnableToResolveHost = 1;
inline constexpr int kLoginFailed = 2;
inline constexpr int kConnecting = 3;
inline constexpr int kConnectNoResponse = 4;
inline constexpr int kFailedToConnect = 5;
inline constexpr int kPreviousOperationUnfinished = 6;
inline constexpr int kOperationCanceled = 7;
inline constexpr int kCantFindFile = 8;
inline constexpr int kCantFindFolder = 9;
inline constexpr int kInputRemotePath = 10;
inline constexpr int kInputLocalPath = 11;
inline constexpr int kEnterAbsolutePath = 12;
inline constexpr int kFolderContainsFile = 13;
inline constexpr int kInputFilename = 14;
inline constexpr int kNewName = 15;
inline constexpr int kSpecifySavePath = 16;
inline constexpr int kFailedToCreateDirectory = 17;
inline constexpr int kFileTypeNotAllowed = 18;
inline constexpr int kFileTypeForbidden = 19;
inline constexpr int kOperationTimedOut = 20;
inline constexpr int kUnknownError = 21;
inline constexpr int kReplaceQuestion = 22;
inline constexpr int kConfirmFileReplace = 23;
inline constexpr int kOverwrite = 24;
inline constexpr int kResume = 25;
inline constexpr int kSkip = 26;
inline constexpr int kRename = 27;
inline constexpr int kOverwriteAll = 28;
inline constexpr int kResumeAll = 29;
inline constexpr int kSkipAll = 30;
inline constexpr int kOk = 31;
inline constexpr int kCancel = 32;
inline constexpr int kHostNotFound = 33;
inline constexpr int kConnectionTimeout = 34;
inline constexpr int kConnectionRefused = 35;
inline constexpr int kPermissionDenied = 36;
inline constexpr int kFileTooLarge = 37;
inline constexpr int kExit = 38;
inline constexpr int kFailedToCreateFile = 39;
inline constexpr int kFailedToOpenFile = 40;
inline constexpr int kRetransferAttempt = 41;
inline constexpr int kRetransferWait = 42;
inline constexpr int kHours = 43;
inline constexpr int kMinutes = 44;
inline constexpr int kSeconds = 45;
inline constexpr int kInvalidFtpHost = 46;
inline constexpr int kFileNotFound = 47;
inline constexpr int kNoResumingSupport = 48;
inline constexpr int kFailToGetFileSize = 49;
inline constexpr int kDataSocketConnectFailed = 50;
}  // namespace message_row

// The text of `row` in the selected column; "" for a row outside 0..50 or an empty cell.
std::string MessageText(int row);

// The selected column. A value outside 0..3 is kept but reads as 0.
int SelectedMessageColumn();
void SelectMessageColumn(int column);

// Restores the built-in texts and selects column 0. Creating a control does this.
void LoadMessageTexts();

// LangInfo, get: the 51 texts of the selected column joined with "|".
std::string GetLangInfo();
// LangInfo, let: an empty value does nothing. A value of exactly 51 "|"-separated parts replaces
// column 0 row by row and selects column 0. Any other value shows the message box
// "Invalid value for 'Text' Property", changes nothing and returns false.
bool LetLangInfo(std::string_view value);

}  // namespace tarvik
