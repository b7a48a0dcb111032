#include "host/host_session.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "core/errors/error_code.h"
#include "host/host_site.h"
#include "host/local_paths.h"
#include "host/progress_bar.h"
#include "platform/com/activation.h"
#include "platform/com/enum_variant.h"
#include "tarvik/client_site.h"

namespace tarvik::host {

using platform::com::ComPtr;
using platform::com::DISPATCH_METHOD;
using platform::com::DISPATCH_PROPERTYGET;
using platform::com::DISPATCH_PROPERTYPUT;
using platform::com::DispId;
using platform::com::EventSink;
using platform::com::HRESULT;
using platform::com::IConnectionPoint;
using platform::com::IConnectionPointContainer;
using platform::com::IDispatch;
using platform::com::IEnumVariant;
using platform::com::InvokeByName;
using platform::com::InvokeError;
using platform::com::IProvideClassInfo;
using platform::com::IUnknown;
using platform::com::MemberInfo;
using platform::com::ParamInfo;
using platform::com::TypeInfo;
using platform::com::TypeRef;
using platform::com::Variant;
using platform::com::VarType;

namespace {

constexpr double kConnectingState = 2;  // FtpState ftpConnecting

bool Offers(IDispatch* object, std::string_view name) {
  DispId id = 0;
  return platform::com::Succeeded(object->GetIDsOfNames(name, &id));
}

Variant Get(IDispatch* object, std::string_view name, std::span<const Variant> args = {}) {
  Variant value;
  if (platform::com::Failed(InvokeByName(object, name, DISPATCH_PROPERTYGET, args, &value))) {
    return Variant();
  }
  return value;
}

double Number(const Variant& value) {
  Variant number;
  if (platform::com::Failed(value.ChangeType(VarType::kDouble, &number))) return 0;
  return *number.Get<double>();
}

// "String", "Boolean", an enumeration's or class's name, "Variant".
std::string TypeText(const TypeRef& type) {
  if (type.type != nullptr) return std::string(type.type->name);
  if (type.vt == VarType::kUnknown) return "Unknown";
  return std::string(platform::com::VarTypeName(type.vt));
}

std::string ParamText(const ParamInfo& param) {
  std::string text = param.in_out ? "ByRef " : "";
  text += std::string(param.name) + " As " + TypeText(param.type);
  if (param.has_default) text += " = \"" + std::string(param.default_text) + "\"";
  return param.optional ? "[" + text + "]" : text;
}

std::string AccessText(const MemberInfo& member) {
  if (member.is_method()) return "method";
  const bool get = member.has(DISPATCH_PROPERTYGET);
  const bool put = member.has(DISPATCH_PROPERTYPUT);
  if (get && put) return member.put_first ? "put/get" : "get/put";
  return get ? "get" : "put";
}

// "Name(params) As Type" for a method, "Name As Type" for a property.
std::string SignatureText(const MemberInfo& member) {
  std::string text(member.name);
  if (member.is_method() || !member.params.empty()) {
    text += "(";
    for (std::size_t i = 0; i < member.params.size(); ++i) {
      if (i > 0) text += ", ";
      text += ParamText(member.params[i]);
    }
    text += ")";
  }
  if (!member.type.is_void()) text += " As " + TypeText(member.type);
  return text;
}

std::string HexId(DispId id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(id));
  return text;
}

// Line ends as the terminal wants them.
std::string UnixLines(std::string text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

// True when `text` begins with a three-digit reply code (blanks before it tolerated, as servers
// send them).
bool StartsWithReplyCode(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos || text.size() - first < 3) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(first),
                     text.begin() + static_cast<std::ptrdiff_t>(first + 3),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// The text SendCommand returns when the control refused the command (its documented prefix).
bool IsRefusedCommand(std::string_view name, const Variant& result) {
  constexpr std::string_view kRefusedPrefix = "SendCommand:command not understood;";
  const std::string* text = result.Get<std::string>();
  return platform::com::NamesEqual(name, "SendCommand") && text != nullptr &&
         text->starts_with(kRefusedPrefix);
}

// ExistFile, ExistDirectory: their False answers the question. Only an error that kept the
// question from being asked (a failed connection, a time-out) makes it a failure; "not found"
// (20007..20010, or the server's 550) is the answer itself.
bool IsNotFoundAnswer(std::string_view name, double error_number) {
  const bool question = platform::com::NamesEqual(name, "ExistFile") ||
                        platform::com::NamesEqual(name, "ExistDirectory");
  const auto number = static_cast<long>(error_number);
  return question &&
         ((number >= ErrorCode::kRemoteFileMissing && number <= ErrorCode::kLocalFolderMissing) ||
          number == ErrorCode::kFileUnavailable);
}

// A method's failure value: False, an empty text, Nothing or a negative number.
bool IsFailureValue(const Variant& value) {
  switch (value.type()) {
    case VarType::kBoolean:
      return !*value.Get<bool>();
    case VarType::kString:
      return value.Get<std::string>()->empty();
    case VarType::kObject:
      return !*value.Get<ComPtr<IDispatch>>();
    case VarType::kInteger:
    case VarType::kLong:
    case VarType::kDouble:
      return Number(value) < 0;
    default:
      return false;
  }
}

}  // namespace

HostSession::HostSession(std::ostream& out, std::ostream& err, Settings settings)
    : out_(out), err_(err), settings_(std::move(settings)) {}

HostSession::~HostSession() {
  EndProgress();
  if (events_ && cookie_ != 0) events_->Unadvise(cookie_);
  events_.Reset();
  ComPtr<automation::IOleObject> placed;
  if (control_ && platform::com::Succeeded(control_.As(&placed))) placed->SetClientSite(nullptr);
  placed.Reset();
  control_.Reset();
  site_.Reset();
  platform::com::CoFreeUnusedLibraries();
}

bool HostSession::Create(const std::string& class_name) {
  std::string detail;
  const HRESULT status = platform::com::CreateObject(class_name, &control_, &detail);
  if (platform::com::Failed(status)) {
    err_ << "tarvik: cannot create " << class_name << ": "
         << (detail.empty() ? platform::com::StatusText(status) : detail) << " ("
         << platform::com::StatusHex(status) << ")\n";
    return false;
  }
  // Place the control on the host's site: its container window and dialog answers.
  ComPtr<automation::IOleObject> placed;
  if (platform::com::Succeeded(control_.As(&placed))) {
    ComPtr<HostSite> site = platform::com::MakeObject<HostSite>(settings_.window, settings_.ui);
    placed->SetClientSite(site.get());
    site_ = ComPtr<IUnknown>(site->Identity());
  }
  // Hear its events, when its class says which they are.
  ComPtr<IProvideClassInfo> class_info;
  ComPtr<IConnectionPointContainer> container;
  const TypeInfo* type = nullptr;
  if (platform::com::Failed(control_.As(&class_info)) ||
      platform::com::Failed(class_info->GetClassInfo(&type)) || type == nullptr ||
      type->DefaultSource() == nullptr || platform::com::Failed(control_.As(&container))) {
    return true;
  }
  const TypeInfo& source = *type->DefaultSource();
  IConnectionPoint* point = nullptr;
  if (platform::com::Failed(container->FindConnectionPoint(source.guid, &point))) return true;
  events_ = ComPtr<IConnectionPoint>::Adopt(point);
  ComPtr<EventSink> sink = platform::com::MakeObject<EventSink>(
      source, [this](const MemberInfo& event, std::span<const Variant>) { OnEvent(event); });
  if (platform::com::Failed(events_->Advise(sink->Identity(), &cookie_))) cookie_ = 0;
  return true;
}

int HostSession::Run(const std::vector<CallStep>& steps) {
  for (const CallStep& step : steps) {
    const int status = RunStep(step);
    if (status != kExitSuccess) return status;
  }
  return kExitSuccess;
}

bool HostSession::BuildArguments(const CallStep& step, const MemberInfo* member,
                                 std::vector<Variant>* storage, std::vector<Variant>* arguments) {
  storage->reserve(step.arguments.size());  // references below point into it: no reallocation
  for (std::size_t i = 0; i < step.arguments.size(); ++i) {
    const std::optional<std::string>& text = step.arguments[i];
    if (!text) {
      storage->emplace_back();
      arguments->push_back(Variant::Missing());
      continue;
    }
    std::string value = *text;
    if (TakesLocalPaths(step.name)) {
      std::string error;
      std::optional<std::string> drive_path = ToDrivePaths(value, &error);
      if (!drive_path) {
        err_ << "tarvik: " << step.name << ": " << error << "\n";
        return false;
      }
      value = std::move(*drive_path);
    }
    storage->emplace_back(std::move(value));
    const bool in_out = member != nullptr && i < member->params.size() && member->params[i].in_out;
    arguments->push_back(in_out ? Variant::ByRef(&storage->back()) : storage->back());
  }
  return true;
}

int HostSession::RunStep(const CallStep& step) {
  const TypeInfo* type = control_->GetTypeInfo();
  const MemberInfo* member = type != nullptr ? type->FindMember(step.name) : nullptr;
  std::vector<Variant> storage;
  std::vector<Variant> arguments;
  if (!BuildArguments(step, member, &storage, &arguments)) return kExitRefused;

  InvokeError error;
  Variant result;
  HRESULT status = platform::com::S_OK;
  switch (step.kind) {
    case CallStep::Kind::kAssign:
      status =
          InvokeByName(control_.get(), step.name, DISPATCH_PROPERTYPUT, arguments, nullptr, &error);
      break;
    case CallStep::Kind::kRead:
      status = InvokeByName(control_.get(), step.name, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                            arguments, &result, &error);
      break;
    case CallStep::Kind::kCall:
      status = InvokeByName(control_.get(), step.name, DISPATCH_METHOD, arguments, &result, &error);
      break;
  }
  EndProgress();
  if (platform::com::Failed(status)) {
    err_ << "tarvik: " << step.name << ": "
         << (error.description.empty() ? platform::com::StatusText(status) : error.description)
         << " (" << platform::com::StatusHex(status) << ")\n";
    return kExitRefused;
  }
  if (member != nullptr && member->is_method() && ReportedFailure(step.name, result)) {
    return kExitCallFailed;
  }
  PrintResult(result);
  return kExitSuccess;
}

bool HostSession::ReportedFailure(const std::string& name, const Variant& result) {
  const bool refused = IsRefusedCommand(name, result);
  if (!refused && !IsFailureValue(result)) return false;
  const Variant number = Read("ErrorNumber");
  if (Number(number) == 0) return false;
  if (!refused && IsNotFoundAnswer(name, Number(number))) return false;
  err_ << "tarvik: " << name << " failed\nErrorNumber: " << number.ToText()
       << "\nErrorInfo: " << Read("ErrorInfo").ToText() << "\n";
  return true;
}

void HostSession::PrintResult(const Variant& result) {
  switch (result.type()) {
    case VarType::kEmpty:
      return;  // a method without result
    case VarType::kObject:
      PrintObject(result.Get<ComPtr<IDispatch>>()->get());
      return;
    case VarType::kString: {
      const std::string text = UnixLines(*result.Get<std::string>());
      out_ << text;
      if (text.empty() || text.back() != '\n') out_ << "\n";
      return;
    }
    default:
      out_ << result.ToText() << "\n";
  }
}

void HostSession::PrintObject(IDispatch* object) {
  if (object == nullptr) {
    out_ << "Nothing\n";
    return;
  }
  if (!Offers(object, "NewEnum")) {
    out_ << EntryLine(object) << "\n";
    return;
  }
  // A collection: one line per item.
  const Variant enumerator = Get(object, "NewEnum");
  const ComPtr<IUnknown>* unknown = enumerator.Get<ComPtr<IUnknown>>();
  ComPtr<IEnumVariant> items;
  if (unknown == nullptr || !*unknown || platform::com::Failed(unknown->As(&items))) return;
  Variant item;
  while (items->Next(1, &item, nullptr) == platform::com::S_OK) {
    const ComPtr<IDispatch>* entry = item.Get<ComPtr<IDispatch>>();
    out_ << (entry != nullptr && *entry ? EntryLine(entry->get()) : item.ToText()) << "\n";
  }
}

std::string HostSession::EntryLine(IDispatch* object) {
  const TypeInfo* type = object->GetTypeInfo();
  if (type == nullptr) return "(object)";
  std::string line;
  for (const MemberInfo& member : type->members) {
    if (member.is_method() || !member.has(DISPATCH_PROPERTYGET) || !member.params.empty() ||
        member.type.vt == VarType::kObject || member.type.vt == VarType::kUnknown ||
        !Offers(object, member.name)) {
      continue;
    }
    if (!line.empty()) line += "  ";
    line += std::string(member.name) + "=" + Get(object, member.name).ToText();
  }
  return line;
}

void HostSession::ListMembers(bool all) {
  const TypeInfo* type = control_->GetTypeInfo();
  if (type == nullptr) {
    err_ << "tarvik: the control describes no members\n";
    return;
  }
  out_ << type->name << " " << type->guid.ToString() << "\n";
  std::size_t offered = 0;
  for (const MemberInfo& member : type->members) {
    const bool available = Offers(control_.get(), member.name);
    if (available) ++offered;
    if (!available && !all) continue;
    std::string access = AccessText(member);
    access.resize(8, ' ');
    out_ << "  " << HexId(member.id) << "  " << access << SignatureText(member)
         << (available ? "" : "   (not available)") << "\n";
  }
  out_ << "  " << offered << " of " << type->members.size() << " members available\n";

  ComPtr<IProvideClassInfo> class_info;
  const TypeInfo* class_type = nullptr;
  if (platform::com::Failed(control_.As(&class_info)) ||
      platform::com::Failed(class_info->GetClassInfo(&class_type)) || class_type == nullptr ||
      class_type->DefaultSource() == nullptr) {
    return;
  }
  const TypeInfo& source = *class_type->DefaultSource();
  out_ << source.name << " " << source.guid.ToString() << " (events)\n";
  for (const MemberInfo& event : source.members) {
    out_ << "  " << HexId(event.id) << "  event   " << SignatureText(event) << "\n";
  }
}

Variant HostSession::Read(const char* name) {
  return Get(control_.get(), name);
}

void HostSession::OnEvent(const MemberInfo& event) {
  if (platform::com::NamesEqual(event.name, "OnTransfer")) {
    if (settings_.progress_bar) DrawProgress();
    return;
  }
  if (!settings_.verbose) return;
  if (platform::com::NamesEqual(event.name, "OnServerMessage")) {
    EndProgress();
    ShowServerMessage();
  } else if (platform::com::NamesEqual(event.name, "OnStateChange") &&
             Number(Read("FtpState")) == kConnectingState) {
    EndProgress();
    err_ << "Connecting to " << Read("ServerName").ToText() << " port " << Read("Port").ToText()
         << "\n";
  }
}

void HostSession::ShowServerMessage() {
  const bool sent = Number(Read("MessageType")) == 0;  // FTP_USER_COMMAND
  std::string text = UnixLines(Read("MessageInfo").ToText());
  // A command without argument is shown as its verb, without the blank before the argument.
  while (!text.empty() && (text.back() == '\n' || (sent && text.back() == ' '))) text.pop_back();
  // A reply begins with its code; the control's own notices (a transfer about to be retried)
  // come as messages too, and are shown as notes, not as words of the server.
  const char* prefix = sent ? "> " : StartsWithReplyCode(text) ? "< " : "* ";
  // Every line of a reply, in order.
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find('\n', start);
    err_ << prefix << text.substr(start, end - start) << "\n";
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void HostSession::DrawProgress() {
  TransferProgress progress;
  progress.percent = static_cast<std::int32_t>(Number(Read("Percent")));
  progress.transferred = Number(Read("TransferredSize"));
  progress.total = Number(Read("FileSize"));
  progress.speed = static_cast<std::int32_t>(Number(Read("Speed")));
  err_ << "\r" << ProgressLine(progress) << "\x1b[K" << std::flush;
  progress_shown_ = true;
}

void HostSession::EndProgress() {
  if (!progress_shown_) return;
  err_ << "\n";
  progress_shown_ = false;
}

}  // namespace tarvik::host
