// A folder's entries sorted by name, and the same as text.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "ftp/directory/listing_cache.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"
#include "platform/text/case_fold.h"
#include "platform/text/number_text.h"

namespace tarvik {
namespace {

// The name a folder query ends in: "pub/x.txt/" and "pub/x.txt/*" both name "x.txt".
std::string_view QueriedName(std::string_view path) {
  if (!path.empty() && path.back() == '*') path.remove_suffix(1);
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  return BareFileName(path);
}

// The entries ordered by the keys name + "_" + listing position, compared ignoring case, the
// order of a sorted list box. Folders and files are mixed. The keys are kept back to back in one
// text: a listing may hold millions of entries.
std::shared_ptr<CFtpFiles> SortedByName(const CFtpFiles& files) {
  std::string keys;
  std::size_t name_bytes = 0;
  for (const CFtpFiles::Entry& entry : files) name_bytes += entry->FileNameView().size();
  keys.reserve(name_bytes + files.Size() * 9);  // "_" and the position's digits
  std::vector<std::size_t> ends;                // where each key ends in `keys`
  ends.reserve(files.Size());
  for (std::size_t i = 1; i <= files.Size(); ++i) {
    keys += files.ItemAt(i)->FileNameView();
    keys += '_';
    keys += std::to_string(i);
    ends.push_back(keys.size());
  }
  const auto key = [&](std::size_t index) {
    const std::size_t begin = index == 0 ? 0 : ends[index - 1];
    return std::string_view(keys).substr(begin, ends[index] - begin);
  };
  std::vector<std::uint32_t> order(ends.size());
  std::iota(order.begin(), order.end(), std::uint32_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return platform::CompareIgnoreCase(key(a), key(b)) < 0;
  });
  auto sorted = std::make_shared<CFtpFiles>();
  sorted->Reserve(order.size());
  for (const std::uint32_t index : order) sorted->Add(files.ItemAt(index + 1));
  return sorted;
}

}  // namespace

std::shared_ptr<CFtpFiles> RemoteListing::GetFtpDirectoryInfo(std::string_view directory_path) {
  std::shared_ptr<CFtpFiles> result;
  try {
    const std::string requested = FormatFtpPath(directory_path);
    std::string path = requested;
    // "" stays "": the working folder; any other folder is listed with a trailing "/".
    if (!path.empty() && path.back() != '/' && path.find_first_of("*?") == std::string::npos) {
      path += '/';
    }
    if (session_.state().list_with_asterisk && (path.empty() || path.back() == '/')) path += '*';

    const std::shared_ptr<CFtpFiles> files = GetRemoteFilesInfo(path);
    if (files && files->Size() == 1 && !files->ItemAt(1)->IsDirectory() &&
        platform::EqualsIgnoreCase(BareFileName(files->ItemAt(1)->FilePath()), QueriedName(path))) {
      // The server listed a file in place of a folder: the path named a file.
      Raise(ErrorCode::kNotAFolder, ErrorTextWith(ErrorCode::kNotAFolder, requested));
    }
    if (files) result = SortedByName(*files);
  } catch (const NumberedError& error) {
    session_.ReportError("GetFtpDirectoryInfo", static_cast<std::int32_t>(error.number()),
                         error.description());
    result.reset();
  }
  session_.SetFtpState(FtpStates::ftpDirectoryInfoRetrieved);
  return result;
}

std::string RemoteListing::GetFileList(std::string_view directory_path) {
  try {
    const std::shared_ptr<CFtpFiles> files = GetFtpDirectoryInfo(directory_path);
    std::string text;
    if (!files) return text;
    for (const CFtpFiles::Entry& entry : *files) {
      text += entry->IsDirectory() ? "1*" : "0*";
      text += entry->FileName() + "*" + platform::DoubleToText(entry->FileSize()) + "*" +
              entry->LastWriteTime() + "|";
    }
    if (!text.empty()) text.pop_back();
    return text;
  } catch (const NumberedError& error) {
    session_.ReportError("GetFileList", static_cast<std::int32_t>(error.number()),
                         error.description());
    return {};
  }
}

}  // namespace tarvik
