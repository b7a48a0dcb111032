// The log: one file per user, "lodrin.dat" in the folder "Tarvik" under the user's Documents
// folder. Each line is the text, two blanks, the local general date and time in braces, and
// CR LF, e.g. "CMD:PWD  {1/5/2019 12:30:45 PM}". The file is opened, written and closed for every
// line, so several controls (and processes) share it line by line. A log that has grown to
// 204,801 bytes or more is deleted when a control starts, so that it restarts empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

inline constexpr std::string_view kLogFolderName = "Tarvik";
inline constexpr std::string_view kLogFileName = "lodrin.dat";
inline constexpr std::string_view kTraceFileName = "trace.qzw";
// A log file of this many bytes or more is deleted (the limit is 204,801, not 204,800).
inline constexpr std::int64_t kLogSizeLimit = 204801;

// The user's log path, making the "Tarvik" folder when it is missing; "" when the Documents
// folder does not exist (then nothing is logged).
std::string PrepareLogFilePath();

// The line written for `text`, CR LF included.
std::string LogLine(std::string_view text);

// Writes LogLine(text) to the file `path`: a new or truncated file when `overwrite` is set or the
// file does not exist, else at its end. False on any failure (the file is closed either way).
bool AppendLogLine(std::string_view path, std::string_view text, bool overwrite);

// Deletes the file `path` when it holds kLogSizeLimit bytes or more; true when it was deleted.
bool DeleteOversizedLog(std::string_view path);

// Control start-up: deletes the user's log when it has reached kLogSizeLimit bytes.
void TrimLogFileAtStartup();

// True when `path` names an existing folder.
bool FolderExists(std::string_view path);

// The folder part of a Windows path ("C:\a\b.txt" -> "C:\a"); "" when it holds no "\".
std::string_view FolderOfPath(std::string_view path);

}  // namespace tarvik
