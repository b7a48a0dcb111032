// The command line of the tarvik host.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/call_step.h"

namespace tarvik::host {

inline constexpr char kDefaultClassName[] = "TarvikFtp.FtpLibrary";

struct HostOptions {
  bool help = false;                           // --help: print the usage and stop
  bool members = false;                        // --members: list the members and stop
  bool all_members = false;                    // --all: list also members not available
  bool verbose = false;                        // -v: print server messages
  bool progress = true;                        // draw a progress bar on a terminal
  std::string class_name = kDefaultClassName;  // ProgID or "{CLSID}" of the control
  std::deque<int> box_answers;                 // --answer: buttons for message boxes, in order
  std::deque<std::optional<std::string>> dialog_answers;  // --dialog: paths for dialogs
  std::vector<CallStep> steps;                            // what to do, in order
};

// The options of `args` (without the program name); nullopt with `error` for a bad command line.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args,
                                            std::string* error);

// The text of --help.
std::string HelpText();

}  // namespace tarvik::host
