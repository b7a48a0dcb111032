// What each reply means for a running listing (operation 10).
#pragma once

#include <vector>

#include "ftp/session/dispatch_table.h"

namespace tarvik {

std::vector<DispatchRow> ListingRows();

}  // namespace tarvik
