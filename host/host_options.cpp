#include "host/host_options.h"

#include "host/host_ui_provider.h"

namespace tarvik::host {

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args,
                                            std::string* error) {
  HostOptions options;
  bool only_steps = false;  // after "--" every word is a step
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // The value of an option written "--name value" or "--name=value".
    auto value_of = [&](const std::string& name) -> std::optional<std::string> {
      if (arg == name) {
        if (i + 1 >= args.size()) return std::nullopt;
        return args[++i];
      }
      return arg.substr(name.size() + 1);
    };
    auto is_option = [&](const std::string& name) {
      return arg == name || arg.rfind(name + "=", 0) == 0;
    };
    if (only_steps || arg.empty() || arg[0] != '-') {
      std::optional<CallStep> step = ParseCallStep(arg, error);
      if (!step) return std::nullopt;
      options.steps.push_back(std::move(*step));
    } else if (arg == "--") {
      only_steps = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--members") {
      options.members = true;
    } else if (arg == "--all") {
      options.all_members = true;
    } else if (arg == "-v" || arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--no-progress") {
      options.progress = false;
    } else if (is_option("--class")) {
      std::optional<std::string> value = value_of("--class");
      if (!value || value->empty()) {
        *error = "--class needs a ProgID or {CLSID}";
        return std::nullopt;
      }
      options.class_name = *value;
    } else if (is_option("--answer")) {
      std::optional<std::string> value = value_of("--answer");
      std::optional<int> button = value ? ButtonFromName(*value) : std::nullopt;
      if (!button) {
        *error =
            "--answer needs ok, cancel, abort, retry, ignore, yes, no, or overwrite, "
            "overwriteall, resume, resumeall, skip, skipall, rename";
        return std::nullopt;
      }
      options.box_answers.push_back(*button);
    } else if (is_option("--dialog")) {
      std::optional<std::string> value = value_of("--dialog");
      if (!value) {
        *error = "--dialog needs a path (empty: cancel)";
        return std::nullopt;
      }
      options.dialog_answers.push_back(value->empty() ? std::nullopt : value);
    } else {
      *error = "unknown option " + arg + " (see --help)";
      return std::nullopt;
    }
  }
  return options;
}

std::string HelpText() {
  return R"help(Usage: tarvik [options] [step...]

Creates the FTP control through its registration, places it, and runs the steps in order, each
by the member's published name:

  Name=value        sets the property Name
  Name              reads the property Name, or calls the method Name without arguments
  Name(a, b, ...)   calls the method Name; "quoted" arguments may hold "," and ")" (\" and \\
                    inside quotes); an empty argument is left out, so its default applies

Each result is printed on standard output: texts as they are, Booleans as True/False, a
collection of entries one line per entry, and an object as its properties. Values are texts; the
control converts them to the member's types.

Linux paths become drive paths (C:\...) by the drive table (TARVIK_ROOT, TARVIK_DRIVES): the
value of LocalPath and the arguments of the Local*/GetLocal* methods, each "|"-separated piece
that begins with "/". A trailing "/" (a folder) stays a trailing "\".

A step that fails stops the run. A method has failed when it returns False, an empty text,
Nothing or a negative number while ErrorNumber is set, or when SendCommand returns its refusal
("SendCommand:command not understood;..."); tarvik then prints ErrorNumber and ErrorInfo and
exits with 1. ExistFile and ExistDirectory answer a question: a file or folder that is not there
prints False, and only a failure to ask (a connection that fails) exits with 1.

Options:
  -h, --help           this text
  --members            list the members of the control that this build offers, with their
                       DISPIDs, parameters and types, and its events; then stop
  --all                with --members: also the published members not available yet
  -v, --verbose        print the server connected to, each command sent ("> ") and every
                       line of each reply received ("< ")
  --no-progress        no progress bar (it is drawn on standard error when that is a terminal)
  --class NAME         the control's ProgID or {CLSID} (default TarvikFtp.FtpLibrary)
  --answer BUTTON      the answer to the next message box: ok, cancel, abort, retry, ignore,
                       yes or no; or to the next replace question (a transfer's destination
                       exists): overwrite, overwriteall, resume, resumeall, skip, skipall,
                       rename or cancel (repeatable, used in order)
  --dialog PATH        the answer to the next file or folder dialog, or the new name asked
                       after "rename"; an empty PATH cancels it (repeatable, used in order)
  --                   every word after this is a step

Message boxes and dialogs take the --answer/--dialog answers first; then, when tarvik has a
terminal, they ask there; otherwise a box takes its default button and a dialog is cancelled.
At the terminal a file or folder dialog takes a typed path (Tab completes it, Ctrl-C cancels),
and the replace question takes a button's access key (O, R, S, N, F, X, T, C) or its name.

Exit status: 0 every step succeeded; 1 a method failed (ErrorNumber/ErrorInfo printed);
2 a bad command line or a call the control refused (unknown member, wrong arguments);
3 the control could not be created (not registered, library missing).

Example:
  tarvik -v ServerName=127.0.0.1 Port=2121 Username=u Password=p Connect \
         'GetFileList(/pub/)' GetCurrentDirectory Disconnect
)help";
}

}  // namespace tarvik::host
