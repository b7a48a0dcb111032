// Replies during a file transfer (see the dispatch table's rules in ftp/session/dispatch_table.h):
//   download: TYPE -> PASV or PORT -> (REST -> 350 ->) RETR -> the data -> 226/250 and the close;
//   upload:   TYPE -> the local file opens -> PASV or PORT -> (REST -> 350 ->) STOR -> 226/250.
#pragma once

#include <vector>

#include "ftp/session/dispatch_table.h"

namespace tarvik {

std::vector<DispatchRow> TransferRows();

}  // namespace tarvik
