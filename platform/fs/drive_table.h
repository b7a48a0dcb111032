// The drive table: which host folder each drive letter stands for.
//
// By default C: is $TARVIK_ROOT/drive_c and Z: is "/", where TARVIK_ROOT defaults to
// ~/.local/share/tarvik. The variable TARVIK_DRIVES replaces the whole table: entries
// "<letter>=<absolute host folder>" separated by ";" (for example "C=/srv/c;D=/mnt/d"); entries
// that are malformed or name a relative folder are skipped. The folder of the default C: drive is
// created when the table is loaded; folders named by TARVIK_DRIVES are used as they are.
//
// Network paths "\\server\share\..." are served from the folder $TARVIK_ROOT/unc: the share is
// the folder <unc>/<server>/<share> (names matched without regard to case, like every path
// component), and a path never climbs above its share.
//
// The table is read on first use and kept; ReloadDriveTable reads the environment again (for
// tests and for a host that changes the variables).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvik::platform {

struct DriveMapping {
  char letter;            // upper-case drive letter, 'A'..'Z'
  std::string host_root;  // absolute host folder, without a trailing "/" (except for "/" itself)
};

// The mappings, in letter order.
std::vector<DriveMapping> DriveTable();

// The host folder of drive `letter` (either case); nullopt when the drive is not in the table.
std::optional<std::string> DriveHostRoot(char letter);

// $TARVIK_ROOT, or ~/.local/share/tarvik.
std::string TarvikRoot();

// The host folder that holds the network shares ($TARVIK_ROOT/unc).
std::string NetworkSharesRoot();

// Reads TARVIK_ROOT and TARVIK_DRIVES again.
void ReloadDriveTable();

}  // namespace tarvik::platform
