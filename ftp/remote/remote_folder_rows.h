// What each reply means for the remote file operations: CWD (3), MKD (4), RMD (5), RNFR/RNTO (6),
// DELE (7) and SIZE (12).
#pragma once

#include <string_view>
#include <vector>

#include "ftp/session/dispatch_table.h"

namespace tarvik {

std::vector<DispatchRow> RemoteFolderRows();

// Whether an MKD refusal (521 or 550) says the folder is already there: the reply holds one of the
// words "exists", "can't", "cannot", "不能" or those of `mkd_info` ("|"-separated, ignoring case).
// An `mkd_info` beginning with "#" replaces the default words.
bool MkdRefusalMeansExisting(std::string_view reply_text, std::string_view mkd_info);

}  // namespace tarvik
