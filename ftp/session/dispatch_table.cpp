#include "ftp/session/dispatch_table.h"

#include <algorithm>

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/directory/listing_rows.h"
#include "ftp/remote/remote_folder_rows.h"
#include "ftp/transfer/transfer_rows.h"

namespace tarvik {

const std::vector<DispatchRow>& DispatchTable() {
  static const std::vector<DispatchRow> table = [] {
    std::vector<DispatchRow> rows;
    for (auto group :
         {LoginRows, SessionCommandRows, ListingRows, RemoteFolderRows, TransferRows}) {
      std::vector<DispatchRow> part = group();
      rows.insert(rows.end(), part.begin(), part.end());
    }
    return rows;
  }();
  return table;
}

void FailWithReply(const DispatchedReply& reply) {
  Raise(ReplyError(reply.code), GetResponseInfo(reply.text));
}

void DispatchReply(FtpSession& session, Operation operation, std::string_view last_command,
                   const DispatchedReply& reply) {
  const DispatchRow* listed = nullptr;
  const DispatchRow* other = nullptr;
  bool command_has_rows = false;
  for (const DispatchRow& row : DispatchTable()) {
    if (row.operation != operation) continue;
    if (row.last_command != kAnyCommand && row.last_command != last_command) continue;
    command_has_rows = true;
    if (row.codes.empty()) {
      other = &row;
    } else if (std::find(row.codes.begin(), row.codes.end(), reply.code) != row.codes.end()) {
      listed = &row;
      break;
    }
  }
  if (!command_has_rows) return;
  const DispatchRow* row = listed != nullptr ? listed : other;
  if (row == nullptr) FailWithReply(reply);
  if (row->action != nullptr) row->action(session, reply);
}

}  // namespace tarvik
