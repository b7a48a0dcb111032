// tarvik: the command-line host of the FTP control (see host/host_options.cpp for its usage).
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "host/host_options.h"
#include "host/host_session.h"
#include "host/host_ui_provider.h"
#include "platform/console/console.h"
#include "platform/loop/message_loop.h"
#include "platform/shell/process_setup.h"

int main(int argc, char** argv) {
  using namespace tarvik::host;
  // A download that reaches the file size limit fails with the reason instead of ending tarvik.
  tarvik::platform::FailWritesPastFileSizeLimit();
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  std::optional<HostOptions> options = ParseHostOptions(args, &error);
  if (!options) {
    std::cerr << "tarvik: " << error << "\n";
    return kExitRefused;
  }
  if (options->help || (options->steps.empty() && !options->members)) {
    std::cout << HelpText();
    return options->help ? kExitSuccess : kExitRefused;
  }

  // Questions go to the terminal when there is one.
  tarvik::platform::Terminal terminal = tarvik::platform::OpenTerminal();
  HostSession::Settings settings;
  settings.verbose = options->verbose;
  settings.progress_bar = options->progress && tarvik::platform::StandardErrorIsTerminal();
  // A window of the host's own: the container the control is placed in.
  settings.window = tarvik::platform::CreateHiddenWindow();
  settings.ui =
      std::make_shared<HostUiProvider>(terminal.in, terminal.out, std::move(options->box_answers),
                                       std::move(options->dialog_answers));
  int status = kExitSuccess;
  {
    HostSession session(std::cout, std::cerr, settings);
    if (!session.Create(options->class_name)) {
      status = kExitNotCreated;
    } else if (options->members) {
      session.ListMembers(options->all_members);
    } else {
      status = session.Run(options->steps);
    }
  }
  tarvik::platform::DestroyWindow(settings.window);
  tarvik::platform::CloseTerminal(terminal);
  return status;
}
