#include "core/errors/winsock_error_text.h"

#include <string_view>

#include "core/errors/error_record.h"
#include "core/errors/generic_text.h"
#include "core/errors/message_table.h"
#include "core/errors/pending_error.h"

namespace tarvik {

namespace {

struct FixedText {
  long code;
  std::string_view text;
};

// clang-format off
constexpr FixedText kFixedTexts[] = {
    {10004, "Interrupted function call."},
    {10014, "Bad address."},
    {10022, "Invalid argument."},
    {10024, "Too many open files."},
    {10035, "Resource temporarily unavailable."},
    {10036, "Operation now in progress."},
    {10037, "Operation already in progress."},
    {10038, "Socket operation on nonsocket."},
    {10039, "Destination address required."},
    {10040, "Message too long."},
    {10041, "Protocol wrong type for socket."},
    {10042, "Bad protocol option."},
    {10043, "Protocol not supported."},
    {10044, "Socket type not supported."},
    {10045, "Operation not supported."},
    {10046, "Protocol family not supported."},
    {10047, "Address family not supported by protocol family."},
    {10048, "Address already in use."},
    {10049, "Cannot assign requested address."},
    {10050, "Network is down."},
    {10051, "Network is unreachable."},
    {10052, "Network dropped connection on reset."},
    {10053, "Software caused connection abort."},
    {10054, "Connection reset by peer."},
    {10055, "No buffer space available."},
    {10056, "Socket is already connected."},
    {10057, "Socket is not connected."},
    {10058, "Cannot send after socket shutdown."},
    {10064, "Host is down."},
    {10065, "No route to host."},
    {10067, "Too many processes."},
    {10091, "Network subsystem is unavailable."},
    {10092, "Winsock.dll version out of range."},
    {10093, "Successful WSAStartup not yet performed."},
    {10101, "Graceful shutdown in progress."},
    {10107, "System call failure."},
    {10109, "Class type not found."},
    {11002, "Nonauthoritative host not found."},
    {11003, "This is a nonrecoverable error."},
    {11004, "Valid name, no data record of requested type."},
};
// clang-format on

// Codes whose text is a row of the message table.
int TableRowOf(long code) {
  switch (code) {
    case 10013:
      return message_row::kPermissionDenied;
    case 10060:
      return message_row::kConnectionTimeout;
    case 10061:
      return message_row::kConnectionRefused;
    case 11001:
      return message_row::kUnableToResolveHost;
    default:
      return -1;
  }
}

}  // namespace

std::string GetWinsockErrorDescription(long code) {
  for (const FixedText& fixed : kFixedTexts) {
    if (fixed.code == code) return std::string(fixed.text);
  }
  const int row = TableRowOf(code);
  if (row >= 0) return MessageText(row);
  const std::string& pending = CurrentPendingError().description;
  const CError* record = FindErrorRecord();
  if (!IsGenericErrorText(pending, record != nullptr ? record->get_Number() : 0)) return pending;
  return MessageText(message_row::kUnknownError);
}

}  // namespace tarvik
