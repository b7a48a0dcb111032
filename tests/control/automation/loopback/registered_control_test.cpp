// libtarvikftp.so as a host meets it: registered with regsvr32 into a private registry, created by
// ProgID or CLSID through the registry, driven by its published names against real FTP servers,
// heard through its connection point, and gone again after regsvr32 /u.
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "control/automation/type_library.h"
#include "platform/com/activation.h"
#include "platform/com/connection_point.h"
#include "platform/registry/posix/store_location.h"
#include "platform/registry/registry.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::automation {
namespace {

using platform::com::ComPtr;
using platform::com::CreateObject;
using platform::com::DISPATCH_METHOD;
using platform::com::DISPATCH_PROPERTYGET;
using platform::com::DISPATCH_PROPERTYPUT;
using platform::com::DispId;
using platform::com::EventSink;
using platform::com::HRESULT;
using platform::com::IConnectionPoint;
using platform::com::IConnectionPointContainer;
using platform::com::IDispatch;
using platform::com::InvokeByName;
using platform::com::InvokeError;
using platform::com::S_OK;
using platform::com::Variant;

const std::string kLibrary = std::filesystem::canonical(TARVIK_SERVER_LIBRARY).string();

struct CommandResult {
  int exit_code;
  std::string output;
};

CommandResult Regsvr32(const std::string& switches) {
  const std::string command =
      std::string("'") + TARVIK_REGSVR32 + "' " + switches + " '" + kLibrary + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, "popen failed"};
  std::string output;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string ClassesValue(const std::string& key, const std::string& name = "") {
  std::string text;
  if (platform::ReadRegistryString(platform::HKEY_CLASSES_ROOT, key, name, &text) !=
      platform::ERROR_SUCCESS) {
    return "<absent>";
  }
  return text;
}

// A loopback port that nothing listens on.
std::uint16_t ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// What the host hears: each event's name, with MessageInfo for OnServerMessage and FtpState for
// OnStateChange, read inside the handler as hosts do.
struct HeardEvent {
  std::string name;
  std::string detail;
};

class RegisteredControl {
 public:
  // Creates the control by `class_name` and connects a sink to its events.
  explicit RegisteredControl(const std::string& class_name) {
    std::string detail;
    const HRESULT status = CreateObject(class_name, &control_, &detail);
    EXPECT_EQ(status, S_OK) << detail;
    if (!control_) return;
    ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(control_.As(&container), S_OK);
    IConnectionPoint* raw = nullptr;
    EXPECT_EQ(container->FindConnectionPoint(kFtpLibraryEvents.guid, &raw), S_OK);
    point_ = ComPtr<IConnectionPoint>::Adopt(raw);
    sink_ = platform::com::MakeObject<EventSink>(
        kFtpLibraryEvents, [this](const MemberInfo& event, std::span<const Variant>) {
          HeardEvent heard{std::string(event.name), ""};
          if (event.name == "OnServerMessage") heard.detail = Get("MessageInfo").ToText();
          if (event.name == "OnStateChange") heard.detail = Get("FtpState").ToText();
          events.push_back(heard);
        });
    EXPECT_EQ(point_->Advise(sink_->Identity(), &cookie_), S_OK);
  }
  ~RegisteredControl() {
    if (point_) point_->Unadvise(cookie_);
  }

  IDispatch* get() const { return control_.get(); }

  Variant Call(std::string_view name, std::vector<Variant> args = {}) {
    Variant result;
    InvokeError error;
    EXPECT_EQ(InvokeByName(control_.get(), name, DISPATCH_METHOD, args, &result, &error), S_OK)
        << name << ": " << error.description;
    return result;
  }
  Variant Get(std::string_view name) {
    Variant value;
    InvokeError error;
    EXPECT_EQ(InvokeByName(control_.get(), name, DISPATCH_PROPERTYGET, {}, &value, &error), S_OK)
        << name << ": " << error.description;
    return value;
  }
  void Put(std::string_view name, Variant value) {
    InvokeError error;
    EXPECT_EQ(
        InvokeByName(control_.get(), name, DISPATCH_PROPERTYPUT, {&value, 1}, nullptr, &error),
        S_OK)
        << name << ": " << error.description;
  }
  bool Offers(std::string_view name) {
    DispId id = 0;
    return control_->GetIDsOfNames(name, &id) == S_OK;
  }
  std::vector<std::string> Heard(std::string_view name) const {
    std::vector<std::string> details;
    for (const HeardEvent& event : events) {
      if (event.name == name) details.push_back(event.detail);
    }
    return details;
  }

  std::vector<HeardEvent> events;

 private:
  ComPtr<IDispatch> control_;
  ComPtr<IConnectionPoint> point_;
  ComPtr<EventSink> sink_;
  std::uint32_t cookie_ = 0;
};

class PrivateRegistry {
 protected:
  void EnterPrivateRoot() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarvik-registered-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("TARVIK_ROOT", root_.c_str(), 1);
    unsetenv("TARVIK_REGISTRY");
    unsetenv("TARVIK_DRIVES");
    platform::CloseRegistryStore();
  }
  void LeavePrivateRoot() {
    platform::com::CoFreeUnusedLibraries();
    platform::CloseRegistryStore();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  void Register() {
    const CommandResult run = Regsvr32("/s");
    ASSERT_EQ(run.exit_code, 0) << run.output;
  }

  std::filesystem::path root_;
  const std::string clsid_ = kFtpLibraryClass.guid.ToString();
};

class RegistrationTest : public ::testing::Test, protected PrivateRegistry {
 protected:
  void SetUp() override { EnterPrivateRoot(); }
  void TearDown() override { LeavePrivateRoot(); }
};

TEST_F(RegistrationTest, Regsvr32RegistersClassProgIdAndTypeLibrary) {
  const CommandResult run = Regsvr32("");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(run.output, "DllRegisterServer in " + kLibrary + " succeeded.\n");
  const std::string class_key = "CLSID\\" + clsid_;
  EXPECT_EQ(ClassesValue(class_key + "\\InprocServer32"), kLibrary);
  EXPECT_EQ(ClassesValue(class_key + "\\ProgID"), "TarvikFtp.FtpLibrary");
  platform::HKEY control_key = 0;
  EXPECT_EQ(
      platform::RegOpenKey(platform::HKEY_CLASSES_ROOT, class_key + "\\Control", &control_key),
      platform::ERROR_SUCCESS);
  platform::RegCloseKey(control_key);
  EXPECT_EQ(ClassesValue("TarvikFtp.FtpLibrary\\CLSID"), clsid_);
  const std::string libid = kTarvikFtpLibrary.guid.ToString();
  EXPECT_EQ(ClassesValue(class_key + "\\TypeLib"), libid);
  EXPECT_EQ(ClassesValue("TypeLib\\" + libid + "\\1.0"), "TarvikFtp");
  EXPECT_EQ(ClassesValue("TypeLib\\" + libid + "\\1.0\\0\\win32"), kLibrary);
  for (const TypeInfo* type :
       {&kFtpLibraryInterface, &kCFtpFileInterface, &kCFtpFilesInterface, &kFtpLibraryEvents}) {
    EXPECT_EQ(ClassesValue("Interface\\" + type->guid.ToString()), type->name);
  }
}

TEST_F(RegistrationTest, ControlIsCreatedByProgIdAndByClsid) {
  Register();
  for (const std::string& name : {std::string("TarvikFtp.FtpLibrary"), clsid_}) {
    SCOPED_TRACE(name);
    RegisteredControl control(name);
    ASSERT_NE(control.get(), nullptr);
    EXPECT_EQ(control.get()->GetTypeInfo()->name, "_FtpLibrary");
    // Read before anything else: False, and no error.
    EXPECT_EQ(control.Get("Connected"), Variant(false));
    EXPECT_EQ(control.Get("ErrorNumber"), Variant(std::int32_t{0}));
    EXPECT_EQ(control.Get("Version"), Variant("4.6.0.3"));
  }
}

TEST_F(RegistrationTest, CreationFailsClearlyOnceUnregistered) {
  Register();
  const CommandResult run = Regsvr32("/u");
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(run.output, "DllUnregisterServer in " + kLibrary + " succeeded.\n");
  EXPECT_EQ(ClassesValue("TarvikFtp.FtpLibrary\\CLSID"), "<absent>");

  ComPtr<IDispatch> control;
  std::string detail;
  EXPECT_EQ(CreateObject("TarvikFtp.FtpLibrary", &control, &detail),
            platform::com::CO_E_CLASSSTRING);
  EXPECT_NE(detail.find("TarvikFtp.FtpLibrary"), std::string::npos) << detail;
  EXPECT_EQ(control.get(), nullptr);
  detail.clear();
  EXPECT_EQ(CreateObject(clsid_, &control, &detail), platform::com::REGDB_E_CLASSNOTREG);
  EXPECT_NE(detail.find(clsid_), std::string::npos) << detail;
}

TEST_F(RegistrationTest, FailedConnectLeavesErrorNumberAndInfo) {
  Register();
  RegisteredControl control("TarvikFtp.FtpLibrary");
  control.Put("ServerName", Variant("127.0.0.1"));
  control.Put("Port", Variant(std::int32_t{ClosedPort()}));
  control.Put("Timeout", Variant(std::int16_t{30}));
  EXPECT_EQ(control.Call("Connect"), Variant(false));
  EXPECT_EQ(control.Get("ErrorNumber"), Variant(std::int32_t{10061}));
  EXPECT_FALSE(control.Get("ErrorInfo").ToText().empty());
  EXPECT_EQ(control.Get("Connected"), Variant(false));
}

class RegisteredSessionTest : public tarvik::test::RealFtpServerTest, protected PrivateRegistry {
 protected:
  void SetUp() override { EnterPrivateRoot(); }
  void TearDown() override { LeavePrivateRoot(); }
};

TEST_P(RegisteredSessionTest, DrivesASessionByNameAndHearsItsEvents) {
  tarvik::test::RealFtpServer& server = Server();
  Register();
  RegisteredControl control("TarvikFtp.FtpLibrary");
  ASSERT_NE(control.get(), nullptr);
  control.Put("ServerName", Variant(server.Host()));
  control.Put("Port", Variant(std::int32_t{server.Port()}));
  control.Put("Username", Variant(server.User()));
  control.Put("Password", Variant(server.Password()));

  ASSERT_EQ(control.Call("Connect"), Variant(true)) << control.Get("ErrorInfo").ToText();
  EXPECT_EQ(control.Get("Connected"), Variant(true));
  const std::string system = control.Call("SendCommand", {Variant("SYST"), Variant("")}).ToText();
  EXPECT_NE(system.find("215"), std::string::npos) << system;
  EXPECT_EQ(control.Call("GetCurrentDirectory"), Variant("/"));

  // Optional argument left out: the listing of the working folder, as with an empty text.
  server.PutFile("listed.txt", "12345");
  Variant listing = control.Call("GetFtpDirectoryInfo", {});
  ASSERT_EQ(listing.type(), platform::com::VarType::kObject);
  IDispatch* files = listing.Get<ComPtr<IDispatch>>()->get();
  ASSERT_NE(files, nullptr) << control.Get("ErrorInfo").ToText();
  Variant name("LISTED.TXT");  // found ignoring case
  Variant entry;
  ASSERT_EQ(InvokeByName(files, "ItemName", DISPATCH_PROPERTYGET, {&name, 1}, &entry), S_OK);
  ASSERT_NE(entry.Get<ComPtr<IDispatch>>()->get(), nullptr);
  Variant size;
  ASSERT_EQ(InvokeByName(entry.Get<ComPtr<IDispatch>>()->get(), "FileSize", DISPATCH_PROPERTYGET,
                         {}, &size),
            S_OK);
  EXPECT_EQ(size, Variant(5.0));
  Variant explicit_listing = control.Call("GetFtpDirectoryInfo", {Variant("")});
  Variant count_left_out;
  Variant count_empty;
  ASSERT_EQ(InvokeByName(files, "Count", DISPATCH_PROPERTYGET, {}, &count_left_out), S_OK);
  ASSERT_EQ(InvokeByName(explicit_listing.Get<ComPtr<IDispatch>>()->get(), "Count",
                         DISPATCH_PROPERTYGET, {}, &count_empty),
            S_OK);
  EXPECT_EQ(count_left_out, count_empty);

  // Remote folders and files by their published names.
  EXPECT_EQ(control.Call("ExistFile", {Variant("/listed.txt")}), Variant(true));
  EXPECT_EQ(control.Call("GetFileSize", {Variant("/listed.txt")}), Variant(5.0));
  EXPECT_EQ(control.Call("CreateDirectory", {Variant("/made/by/dispatch")}), Variant(true))
      << control.Get("ErrorInfo").ToText();
  EXPECT_TRUE(std::filesystem::is_directory(server.LocalPath("/made/by/dispatch")));
  EXPECT_EQ(control.Call("ExistDirectory", {Variant("/made/by")}), Variant(true));
  EXPECT_EQ(control.Call("RenameFile", {Variant("/listed.txt"), Variant("/renamed.txt")}),
            Variant(true))
      << control.Get("ErrorInfo").ToText();
  EXPECT_EQ(server.GetFile("renamed.txt"), "12345");
  EXPECT_EQ(control.Call("DeleteFile", {Variant("/renamed.txt")}), Variant(true))
      << control.Get("ErrorInfo").ToText();
  EXPECT_EQ(control.Call("RemoveDirectory", {Variant("/made")}), Variant(true))
      << control.Get("ErrorInfo").ToText();
  EXPECT_FALSE(std::filesystem::exists(server.LocalPath("/made")));
  EXPECT_FALSE(std::filesystem::exists(server.LocalPath("/renamed.txt")));

  EXPECT_EQ(control.Call("Disconnect"), Variant(true));
  EXPECT_EQ(control.Get("Connected"), Variant(false));

  // Every command and reply reached the host's sink, the password hidden.
  const std::vector<std::string> messages = control.Heard("OnServerMessage");
  auto heard = [&](const std::string& text) {
    for (const std::string& message : messages) {
      if (message.rfind(text, 0) == 0) return true;
    }
    return false;
  };
  EXPECT_TRUE(heard("USER " + server.User()));
  EXPECT_TRUE(heard("PASS ********"));
  EXPECT_TRUE(heard("230"));
  EXPECT_TRUE(heard("SYST"));
  EXPECT_TRUE(heard("PWD"));
  const std::vector<std::string> states = control.Heard("OnStateChange");
  // ftpConnecting, ftpConnected, ftpAuthentication (USER), ftpAuthentication (PASS) first; the
  // login reply ends the operation, which reports ftpFreeState.
  ASSERT_GE(states.size(), 5u) << ::testing::PrintToString(states);
  EXPECT_EQ(std::vector<std::string>(states.begin(), states.begin() + 5),
            (std::vector<std::string>{"2", "3", "4", "4", "0"}));
  EXPECT_NE(std::find(states.begin(), states.end(), "19"), states.end());  // ftpQuiting
  EXPECT_TRUE(control.Heard("OnError").empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, RegisteredSessionTest, tarvik::test::AllRealServers(),
                         tarvik::test::RealServerParamName);

}  // namespace
}  // namespace tarvik::automation
