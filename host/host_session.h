// HostSession: the tarvik host at work. It creates the control through the registry, places it
// on a site of the host, connects a sink to its events, and runs call steps against it, all
// through the dispatch interface by the members' published names.
//
// Output: results go to `out`; server messages (verbose), the progress line, errors and the
// answers to boxes go to `err`.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/call_step.h"
#include "platform/com/connection_point.h"
#include "platform/com/dispatch.h"
#include "platform/ui/ui_provider.h"

namespace tarvik::host {

// Exit statuses of the host.
enum HostExitCode : int {
  kExitSuccess = 0,
  kExitCallFailed = 1,  // a method failed; ErrorNumber and ErrorInfo were printed
  kExitRefused = 2,     // bad command line, or the control refused a call
  kExitNotCreated = 3,  // the control could not be created
};

class HostSession {
 public:
  struct Settings {
    bool verbose = false;                      // print server messages
    bool progress_bar = false;                 // draw the progress line on `err`
    std::uintptr_t window = 0;                 // the container window handed to the control
    std::shared_ptr<platform::UiProvider> ui;  // answers the control's boxes and dialogs
  };

  HostSession(std::ostream& out, std::ostream& err, Settings settings);
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Creates the control of `class_name` (ProgID or "{CLSID}"), places it and connects to its
  // events. False after printing why.
  bool Create(const std::string& class_name);

  // Runs `steps` in order, stopping at the first that fails; the exit status.
  int Run(const std::vector<CallStep>& steps);

  // Prints the members the control offers (with `all`, also the published ones it lacks) and
  // its events.
  void ListMembers(bool all);

 private:
  int RunStep(const CallStep& step);
  // The arguments of `step` as variants for `member` (by reference where the parameter is
  // in/out, the values kept in `storage`); false after printing why.
  bool BuildArguments(const CallStep& step, const platform::com::MemberInfo* member,
                      std::vector<platform::com::Variant>* storage,
                      std::vector<platform::com::Variant>* arguments);
  // Whether `result` of a method is a failure value (or SendCommand's refusal text) while
  // ErrorNumber is set; prints the error. A "not found" answer of ExistFile/ExistDirectory is
  // no failure.
  bool ReportedFailure(const std::string& name, const platform::com::Variant& result);
  void PrintResult(const platform::com::Variant& result);
  void PrintObject(platform::com::IDispatch* object);
  // One line: the readable properties of `object` as Name=value.
  std::string EntryLine(platform::com::IDispatch* object);
  void OnEvent(const platform::com::MemberInfo& event);
  // Verbose: the command sent ("> ") or every line of the reply received ("< ").
  void ShowServerMessage();
  void DrawProgress();
  void EndProgress();
  // Property `name` of the control (Empty when it cannot be read).
  platform::com::Variant Read(const char* name);

  std::ostream& out_;
  std::ostream& err_;
  Settings settings_;
  platform::com::ComPtr<platform::com::IDispatch> control_;
  platform::com::ComPtr<platform::com::IUnknown> site_;
  platform::com::ComPtr<platform::com::IConnectionPoint> events_;
  std::uint32_t cookie_ = 0;     // the sink's connection; 0 when not connected
  bool progress_shown_ = false;  // a progress line is on the terminal, without its line end
};

}  // namespace tarvik::host
