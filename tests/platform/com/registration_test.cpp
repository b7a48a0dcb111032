// Registration with regsvr32 into a private registry, creation through the registry by ProgID
// and CLSID, and the errors of creation once the class is gone.
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/com/activation.h"
#include "platform/com/connection_point.h"
#include "platform/com/server_module.h"
#include "platform/registry/posix/store_location.h"
#include "platform/registry/registry.h"
#include "platform/shell/dynamic_library.h"
#include "tests/platform/com/sample/abacus_types.h"

namespace tarvik::platform::com {
namespace {

using sample::kAbacusClass;
using sample::kAbacusProgId;
using sample::kSampleLibrary;

const std::string kServer = std::filesystem::canonical(TARVIK_SAMPLE_SERVER).string();

struct CommandResult {
  int exit_code;
  std::string output;  // standard output and error together
};

CommandResult Regsvr32(const std::string& arguments) {
  const std::string command = std::string("'") + TARVIK_REGSVR32 + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, "popen failed"};
  std::string output;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// The default (or named) value of a key below HKEY_CLASSES_ROOT; "<absent>" when missing.
std::string ClassesValue(const std::string& key, const std::string& name = "") {
  std::string text;
  if (ReadRegistryString(HKEY_CLASSES_ROOT, key, name, &text) != ERROR_SUCCESS) return "<absent>";
  return text;
}

bool ClassesKeyExists(const std::string& key) {
  HKEY handle = 0;
  if (RegOpenKey(HKEY_CLASSES_ROOT, key, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// Whether the sample server library is mapped into this process.
bool ServerLoaded() {
  void* handle = dlopen(kServer.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);
  return true;
}

class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-com-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("TARVIK_ROOT", root_.c_str(), 1);
    unsetenv("TARVIK_REGISTRY");
    CloseRegistryStore();
  }
  void TearDown() override {
    CoFreeUnusedLibraries();
    CloseRegistryStore();
    std::filesystem::remove_all(root_);
  }

  void Register() {
    const CommandResult run = Regsvr32(Quoted(kServer));
    ASSERT_EQ(run.exit_code, 0) << run.output;
  }

  // A call of `name` on `object` expected to succeed.
  static Variant Call(IDispatch* object, const char* name, std::vector<Variant> args) {
    Variant result;
    InvokeError error;
    EXPECT_EQ(InvokeByName(object, name, DISPATCH_METHOD, args, &result, &error), S_OK)
        << error.description;
    return result;
  }

  std::filesystem::path root_;
  const std::string clsid_ = kAbacusClass.guid.ToString();
  const std::string libid_ = kSampleLibrary.guid.ToString();
};

TEST_F(RegistrationTest, RegisterWritesClassProgIdAndTypeLibraryKeys) {
  const CommandResult run = Regsvr32(Quoted(kServer));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "DllRegisterServer in " + kServer + " succeeded.\n");

  const std::string class_key = "CLSID\\" + clsid_;
  EXPECT_EQ(ClassesValue(class_key), "Sample abacus");
  EXPECT_EQ(ClassesValue(class_key + "\\InprocServer32"), kServer);
  EXPECT_EQ(ClassesValue(class_key + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(ClassesValue(class_key + "\\ProgID"), kAbacusProgId);
  EXPECT_EQ(ClassesValue(class_key + "\\TypeLib"), libid_);
  EXPECT_EQ(ClassesValue(class_key + "\\Version"), "2.1");
  EXPECT_FALSE(ClassesKeyExists(class_key + "\\Control"));
  EXPECT_EQ(ClassesValue(std::string(kAbacusProgId)), "Sample abacus");
  EXPECT_EQ(ClassesValue(std::string(kAbacusProgId) + "\\CLSID"), clsid_);

  const std::string typelib_key = "TypeLib\\" + libid_ + "\\2.1";
  EXPECT_EQ(ClassesValue(typelib_key), "Tarvik sample server");
  EXPECT_EQ(ClassesValue(typelib_key + "\\0\\win32"), kServer);
  EXPECT_EQ(ClassesValue(typelib_key + "\\FLAGS"), "0");
  EXPECT_EQ(ClassesValue(typelib_key + "\\HELPDIR"),
            std::filesystem::path(kServer).parent_path().string());
  for (const TypeInfo* type :
       {&sample::kAbacusInterface, &sample::kAbacusEvents, &sample::kBeadInterface}) {
    const std::string key = "Interface\\" + type->guid.ToString();
    EXPECT_EQ(ClassesValue(key), type->name);
    EXPECT_EQ(ClassesValue(key + "\\TypeLib"), libid_);
    EXPECT_EQ(ClassesValue(key + "\\TypeLib", "Version"), "2.1");
  }
  // Neither the class that cannot be created nor the enumeration is registered.
  EXPECT_FALSE(ClassesKeyExists("CLSID\\" + sample::kBeadClass.guid.ToString()));
  EXPECT_FALSE(ClassesKeyExists("Interface\\" + sample::kAbacusModes.guid.ToString()));
}

TEST_F(RegistrationTest, RegisteredClassIsCreatedByProgIdOrClsid) {
  Register();
  for (const std::string& name :
       {std::string(kAbacusProgId), std::string("tarviksample.ABACUS"), clsid_}) {
    ComPtr<IDispatch> abacus;
    std::string detail;
    ASSERT_EQ(CreateObject(name, &abacus, &detail), S_OK) << name << ": " << detail;
    EXPECT_EQ(Call(abacus.get(), "Add", {2, 3}), Variant(5.0)) << name;
    EXPECT_EQ(abacus->GetTypeInfo()->name, "_Abacus");
  }
  Guid clsid;
  EXPECT_EQ(CLSIDFromProgID(kAbacusProgId, &clsid), S_OK);
  EXPECT_EQ(clsid, kAbacusClass.guid);
}

TEST_F(RegistrationTest, CreatedObjectFiresEventsToTheHostsSink) {
  Register();
  ComPtr<IDispatch> abacus;
  ASSERT_EQ(CreateObject(kAbacusProgId, &abacus), S_OK);

  // The host finds the event interface through the object's class information.
  ComPtr<IProvideClassInfo> class_info;
  ASSERT_EQ(abacus.As(&class_info), S_OK);
  const TypeInfo* type = nullptr;
  ASSERT_EQ(class_info->GetClassInfo(&type), S_OK);
  const TypeInfo* events = type->DefaultSource();
  ASSERT_NE(events, nullptr);
  EXPECT_EQ(events->guid, sample::kAbacusEvents.guid);

  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(abacus.As(&container), S_OK);
  IConnectionPoint* raw_point = nullptr;
  ASSERT_EQ(container->FindConnectionPoint(events->guid, &raw_point), S_OK);
  const ComPtr<IConnectionPoint> point = ComPtr<IConnectionPoint>::Adopt(raw_point);
  std::vector<std::string> heard;
  const ComPtr<EventSink> sink =
      MakeObject<EventSink>(*events, [&heard](const MemberInfo& event, std::span<const Variant>) {
        heard.emplace_back(event.name);
      });
  std::uint32_t cookie = 0;
  ASSERT_EQ(point->Advise(sink.get(), &cookie), S_OK);
  Call(abacus.get(), "Ring", {});
  EXPECT_EQ(heard, (std::vector<std::string>{"OnRing", "OnTotal"}));
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

TEST_F(RegistrationTest, ServerLibraryStaysLoadedWhileItsObjectsLive) {
  Register();
  ComPtr<IDispatch> abacus;
  ASSERT_EQ(CreateObject(kAbacusProgId, &abacus), S_OK);
  ASSERT_TRUE(ServerLoaded());

  DynamicLibrary server;
  ASSERT_TRUE(server.Open(kServer));
  const auto can_unload = server.Function<DllEntryFunction>("DllCanUnloadNow");
  ASSERT_NE(can_unload, nullptr);
  EXPECT_EQ(can_unload(), S_FALSE);
  CoFreeUnusedLibraries();
  EXPECT_EQ(Call(abacus.get(), "Add", {1, 1}), Variant(2.0));  // still there

  abacus.Reset();
  EXPECT_EQ(can_unload(), S_OK);
  server.Close();
  CoFreeUnusedLibraries();
  EXPECT_FALSE(ServerLoaded());
}

TEST_F(RegistrationTest, UnregisterRemovesTheKeysAndCreationFailsClearly) {
  Register();
  const CommandResult run = Regsvr32("/u " + Quoted(kServer));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "DllUnregisterServer in " + kServer + " succeeded.\n");
  EXPECT_FALSE(ClassesKeyExists("CLSID\\" + clsid_));
  EXPECT_FALSE(ClassesKeyExists(kAbacusProgId));
  EXPECT_FALSE(ClassesKeyExists("TypeLib\\" + libid_));
  EXPECT_FALSE(ClassesKeyExists("Interface\\" + sample::kAbacusInterface.guid.ToString()));
  EXPECT_TRUE(ClassesKeyExists("CLSID"));  // shared parents stay

  ComPtr<IDispatch> abacus;
  std::string detail;
  EXPECT_EQ(CreateObject(kAbacusProgId, &abacus, &detail), CO_E_CLASSSTRING);
  EXPECT_EQ(detail, "'TarvikSample.Abacus' is not a registered ProgID");
  EXPECT_FALSE(abacus);
  EXPECT_EQ(CreateObject(clsid_, &abacus, &detail), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(detail, "class " + clsid_ + " is not registered");

  // Unregistering again finds nothing to remove and still succeeds.
  EXPECT_EQ(Regsvr32("/u /s " + Quoted(kServer)).exit_code, 0);
}

TEST_F(RegistrationTest, UnregisterLeavesWhatOthersOwn) {
  Register();
  const std::string other = MakeGuid("{11111111-2222-3333-4444-555555555555}").ToString();
  ASSERT_EQ(
      WriteRegistryString(HKEY_CLASSES_ROOT, std::string(kAbacusProgId) + "\\CLSID", "", other),
      ERROR_SUCCESS);  // another server took the ProgID over
  ASSERT_EQ(WriteRegistryString(HKEY_CLASSES_ROOT, "TypeLib\\" + libid_ + "\\9.0", "", "newer"),
            ERROR_SUCCESS);  // another version of the type library
  ASSERT_EQ(Regsvr32("/s /u " + Quoted(kServer)).exit_code, 0);
  EXPECT_EQ(ClassesValue(std::string(kAbacusProgId) + "\\CLSID"), other);
  EXPECT_EQ(ClassesValue("TypeLib\\" + libid_ + "\\9.0"), "newer");
  EXPECT_FALSE(ClassesKeyExists("TypeLib\\" + libid_ + "\\2.1"));
  EXPECT_FALSE(ClassesKeyExists("CLSID\\" + clsid_));
}

TEST_F(RegistrationTest, SilentSwitchPrintsNothing) {
  for (const char* switches : {"/s", "-S", "/S /u", "-u -s"}) {
    const CommandResult run = Regsvr32(std::string(switches) + " " + Quoted(kServer));
    EXPECT_EQ(run.exit_code, 0) << switches;
    EXPECT_EQ(run.output, "") << switches;
  }
  const CommandResult failed = Regsvr32("/s /nonexistent/libnothing.so");
  EXPECT_EQ(failed.exit_code, 3);
  EXPECT_EQ(failed.output, "");
}

TEST_F(RegistrationTest, Regsvr32RefusesBadCommandLines) {
  for (const char* arguments : {"", "/u", "-x lib.so", "a.so b.so"}) {
    const CommandResult run = Regsvr32(arguments);
    EXPECT_EQ(run.exit_code, 1) << arguments;
    EXPECT_NE(run.output.find("Usage: regsvr32 [/s] [/u] <library>"), std::string::npos)
        << arguments;
  }
}

TEST_F(RegistrationTest, Regsvr32ReportsLoadAndEntryPointFailures) {
  const CommandResult missing = Regsvr32("/nonexistent/libnothing.so");
  EXPECT_EQ(missing.exit_code, 3);
  EXPECT_EQ(missing.output.find("The module \"/nonexistent/libnothing.so\" failed to load: "), 0u)
      << missing.output;

  const std::string math_library = ModuleFileName(reinterpret_cast<const void*>(&::cos));
  ASSERT_FALSE(math_library.empty());
  const CommandResult no_entry = Regsvr32("/u " + Quoted(math_library));
  EXPECT_EQ(no_entry.exit_code, 4);
  EXPECT_EQ(no_entry.output, "The module \"" + math_library +
                                 "\" was loaded but the entry point DllUnregisterServer was not "
                                 "found.\n");
}

TEST_F(RegistrationTest, Regsvr32ReportsAFailedRegistration) {
  {
    std::ofstream damaged(root_ / "registry.db");
    damaged << "this is not a registry store";
  }
  const CommandResult run = Regsvr32(Quoted(kServer));
  EXPECT_EQ(run.exit_code, 5);
  EXPECT_EQ(run.output, "The module \"" + kServer +
                            "\" was loaded but the call to DllRegisterServer failed with error "
                            "code 0x800703F1: System error 1009.\n");
}

TEST_F(RegistrationTest, CreationExplainsABrokenRegistration) {
  const std::string clsid = MakeGuid("{0BADC0DE-0000-4000-8000-000000000001}").ToString();
  const std::string server_key = "CLSID\\" + clsid + "\\InprocServer32";
  ComPtr<IDispatch> object;
  std::string detail;

  ASSERT_EQ(WriteRegistryString(HKEY_CLASSES_ROOT, server_key, "", "/nonexistent/libgone.so"),
            ERROR_SUCCESS);
  EXPECT_EQ(CreateObject(clsid, &object, &detail), CO_E_DLLNOTFOUND);
  EXPECT_EQ(detail.find("the server library '/nonexistent/libgone.so' of class " + clsid +
                        " failed to load: "),
            0u)
      << detail;

  const std::string math_library = ModuleFileName(reinterpret_cast<const void*>(&::cos));
  ASSERT_EQ(WriteRegistryString(HKEY_CLASSES_ROOT, server_key, "", math_library), ERROR_SUCCESS);
  EXPECT_EQ(CreateObject(clsid, &object, &detail), CO_E_ERRORINDLL);
  EXPECT_EQ(detail, "the server library '" + math_library + "' of class " + clsid +
                        " does not export DllGetClassObject");

  ASSERT_EQ(WriteRegistryString(HKEY_CLASSES_ROOT, server_key, "", kServer), ERROR_SUCCESS);
  EXPECT_EQ(CreateObject(clsid, &object, &detail), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(detail, "the server library '" + kServer + "' does not provide class " + clsid +
                        ": ClassFactory cannot supply requested class.");
  EXPECT_FALSE(object);
}

TEST_F(RegistrationTest, CreationExplainsBadClassNames) {
  ComPtr<IDispatch> object;
  std::string detail;
  EXPECT_EQ(CreateObject("{not-a-guid}", &object, &detail), CO_E_CLASSSTRING);
  EXPECT_EQ(detail, "'{not-a-guid}' is not a valid CLSID");
  EXPECT_EQ(CreateObject("", &object, &detail), CO_E_CLASSSTRING);
  EXPECT_EQ(detail, "'' is not a registered ProgID");

  ASSERT_EQ(WriteRegistryString(HKEY_CLASSES_ROOT, "Broken.Name\\CLSID", "", "garbage"),
            ERROR_SUCCESS);
  EXPECT_EQ(CreateObject("Broken.Name", &object, &detail), CO_E_CLASSSTRING);
  EXPECT_EQ(detail, "ProgID 'Broken.Name' names the malformed CLSID 'garbage'");
  EXPECT_EQ(CreateObject("x", nullptr), E_POINTER);
}

}  // namespace
}  // namespace tarvik::platform::com
