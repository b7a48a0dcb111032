// The path rules and the drive translation over any text. A translated path lies inside the root
// folder of its drive or share, component by component (no "", "." or ".." left), and comes back
// to the same host path through its Windows form; the local path forms are stable when applied
// again; and a name the download takes as safe lands, under its own name, in the folder it is
// joined to.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "local/path_lists.h"
#include "local/path_rules.h"
#include "platform/fs/drive_table.h"
#include "platform/fs/name_rules.h"
#include "platform/fs/path_translation.h"
#include "platform/text/case_fold.h"
#include "platform/text/code_page.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;
namespace platform = tarvik::platform;

// A drive table in a folder of its own: C: with a few entries, E: a folder inside C:, and one
// network share. Removed when the run ends.
struct DriveFolders {
  DriveFolders() {
    char pattern[] = "/tmp/tarvik-fuzz-path-XXXXXX";
    root = mkdtemp(pattern);
    for (const char* folder : {"c/Dir/Sub", "c/Mixed Case", "d", "unc/Srv/Share/inside"})
      fs::create_directories(root / folder);
    {
      std::FILE* file = std::fopen((root / "c/file.txt").c_str(), "w");
      std::fclose(file);
    }
    setenv("TARVIK_ROOT", root.c_str(), 1);
    const std::string drives = "C=" + (root / "c").string() + ";D=" + (root / "d").string() +
                               "/;E=" + (root / "c/Dir").string();
    setenv("TARVIK_DRIVES", drives.c_str(), 1);
    platform::ReloadDriveTable();
  }
  ~DriveFolders() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  fs::path root;
};

const DriveFolders& Folders() {
  static const DriveFolders folders;
  return folders;
}

// The root folder the translation of `path` must stay in: its drive's, or its share's.
// Either slash separates, so any two of them begin a share path ("\\srv", "//srv", "/\\srv").
std::string RootOf(const std::string& path) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) {
    return platform::NetworkSharesRoot();
  }
  return platform::DriveHostRoot(path[0]).value_or("");
}

void CheckTranslation(const std::string& path, bool wildcards) {
  const platform::TranslatedPath result = platform::TranslatePath(path, wildcards);
  if (result.error != platform::ERROR_SUCCESS) {
    FUZZ_CHECK(result.host_path.empty());
    return;
  }
  const std::string root = RootOf(path);
  FUZZ_CHECK(!root.empty() && result.host_path.starts_with(root));
  std::string_view rest = std::string_view(result.host_path).substr(root.size());
  FUZZ_CHECK(rest.empty() || rest.front() == '/');
  // A share path holds the server and share folders below the shares' root.
  std::size_t components = 0;
  std::string_view last;
  while (!rest.empty()) {
    rest.remove_prefix(1);
    last = rest.substr(0, rest.find('/'));
    FUZZ_CHECK(!last.empty() && last != "." && last != "..");
    rest.remove_prefix(last.size());
    ++components;
  }
  const std::size_t share_folders = root == platform::NetworkSharesRoot() ? 2 : 0;
  FUZZ_CHECK(components == result.depth + share_folders);
  FUZZ_CHECK(result.is_root == (result.depth == 0));
  FUZZ_CHECK(result.is_root ? result.name.empty() : result.name == last);

  // Back to a Windows path and forward again: the same host path.
  const auto windows = platform::HostToWindowsPath(result.host_path);
  FUZZ_CHECK(windows.has_value());
  const platform::TranslatedPath again = platform::TranslatePath(*windows, wildcards);
  FUZZ_CHECK(again.error == platform::ERROR_SUCCESS && again.host_path == result.host_path);
}

void CheckPathForms(const std::string& path) {
  const std::string local = tarvik::FormatLocalPath(path);
  FUZZ_CHECK(tarvik::FormatLocalPath(local) == local);
  FUZZ_CHECK(local.find('/') == std::string::npos && local.find("\\\\\\") == std::string::npos);
  for (std::size_t at = local.find("\\\\"); at != std::string::npos;
       at = local.find("\\\\", at + 2))
    FUZZ_CHECK(at == 0 || local[at - 1] == '|');
  const std::string remote = tarvik::FormatFtpPath(path);
  FUZZ_CHECK(tarvik::FormatFtpPath(remote) == remote && remote.find('\\') == std::string::npos);
  const std::string name = tarvik::GetFileName(path);
  FUZZ_CHECK(name.find_first_of("\\/") == std::string::npos);
  const std::string parent = tarvik::GetParentPath(path);
  FUZZ_CHECK(parent.empty() || parent.back() == '\\' || parent.back() == '/');
  FUZZ_CHECK(parent.empty() || parent.size() < path.size());
}

// A listed name that the download takes for safe becomes that very entry of the local folder.
void CheckSafeName(const std::string& name) {
  if (!tarvik::IsSafeLocalName(name) || !platform::IsValidUtf8(name) || name.size() > 200) return;
  const platform::TranslatedPath result = platform::TranslatePath("C:\\Dir\\" + name);
  FUZZ_CHECK(result.error == platform::ERROR_SUCCESS && result.depth == 2);
  FUZZ_CHECK(result.host_path == (Folders().root / "c/Dir").string() + "/" + result.name);
  FUZZ_CHECK(platform::FoldCase(result.name) == platform::FoldCase(name));
}

}  // namespace

// The first byte chooses whether the last component may be a pattern; the rest is the path.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Folders();
  if (size == 0) return 0;
  const bool wildcards = (data[0] & 1) != 0;
  const std::string path(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckTranslation(path, wildcards);
  CheckPathForms(path);
  CheckSafeName(path);
  return 0;
}
