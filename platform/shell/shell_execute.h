// ShellExecuteA with the verb "open". On Windows it is the system's ShellExecuteW. On Linux it is
// built on process spawning and xdg-open, with the shell's own Explorer:
//
// What "open" does with `file`:
//   - "explorer.exe" (any case, bare or with a folder): the Explorer window of the folder its
//     parameters name (platform/shell/posix/explorer_command.h), opened with xdg-open.
//   - a folder, or a file that cannot be executed (a document): handed to xdg-open.
//   - an executable file: started with `parameters` as its arguments, split as a command line is
//     (blanks separate, double quotes group, \" is a quote inside quotes). Its standard input is
//     /dev/null; its output goes where the caller's goes. It runs on its own (a session of its
//     own); the call does not wait for it, and a finished program is reaped by a later call.
// `file` is a Windows path (platform/fs/path_translation.h) or a bare program name, which is
// searched on PATH. The window mode `show_cmd` has no meaning for the programs of this system; it
// is accepted and not used.
//
// The result, as the Windows shell gives it: above 32 on success (kShellExecuteSuccess), else
//   ERROR_FILE_NOT_FOUND (2)   the file or program is not there
//   ERROR_PATH_NOT_FOUND (3)   its folder is not there, or the path has no host form
//   SE_ERR_ACCESSDENIED (5)    the system refused to start it
//   ERROR_BAD_FORMAT (11)      it is no program the system can run
//   SE_ERR_OOM (8)             out of memory
//   SE_ERR_NOASSOC (31)        no program opens it (no xdg-open), or a verb other than "open"
//   0                          any other failure
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvik::platform {

inline constexpr std::intptr_t kShellExecuteSuccess = 42;
inline constexpr std::intptr_t SE_ERR_ACCESSDENIED = 5;
inline constexpr std::intptr_t SE_ERR_OOM = 8;
inline constexpr std::intptr_t SE_ERR_NOASSOC = 31;
inline constexpr int SW_SHOWNORMAL = 1;

std::intptr_t ShellExecute(std::string_view verb, std::string_view file,
                           std::string_view parameters, int show_cmd);

}  // namespace tarvik::platform
