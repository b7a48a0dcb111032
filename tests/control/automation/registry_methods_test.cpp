// The registry methods as script hosts call them: roots by name and literal, key path forms, the
// three value types, refusals that change nothing, deletion of trees, two writers at once.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/automation/ftp_library_object.h"
#include "platform/com/dispatch.h"
#include "platform/registry/registry.h"

namespace tarvik::automation {
namespace {

using platform::com::DISPATCH_METHOD;
using platform::com::InvokeByName;
using platform::com::InvokeError;
using platform::com::MakeObject;
using platform::com::S_OK;
using platform::com::Variant;

class RegistryMethodsTest : public ::testing::Test {
 protected:
  // Calls `name` with texts; the in/out parameters of RegCreate, RegExists and RegGetValueEx go
  // by reference and must come back unchanged.
  Variant Call(std::string_view name, std::vector<std::string> texts) {
    std::vector<Variant> storage(texts.begin(), texts.end());
    std::vector<Variant> args;
    const MemberInfo* member = kFtpLibraryInterface.FindMember(name);
    for (std::size_t i = 0; i < storage.size(); ++i) {
      args.push_back(member->params[i].in_out ? Variant::ByRef(&storage[i]) : storage[i]);
    }
    Variant result;
    InvokeError error;
    EXPECT_EQ(InvokeByName(control_.get(), name, DISPATCH_METHOD, args, &result, &error), S_OK)
        << name << ": " << error.description;
    for (std::size_t i = 0; i < storage.size(); ++i) EXPECT_EQ(storage[i], Variant(texts[i]));
    return result;
  }
  bool Bool(std::string_view name, std::vector<std::string> texts) {
    const Variant result = Call(name, std::move(texts));
    EXPECT_EQ(result.type(), platform::com::VarType::kBoolean) << name;
    return result == Variant(true);
  }
  std::string Text(std::string_view name, std::vector<std::string> texts) {
    return Call(name, std::move(texts)).ToText();
  }

  ComPtr<FtpLibraryObject> control_ = MakeObject<FtpLibraryObject>();
};

TEST_F(RegistryMethodsTest, EveryRootByNameAnyCaseAndByLiteral) {
  const char* names[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
                         "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
                         "HKEY_DYN_DATA"};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(names[i]);
    const std::string literal = "&H8000000" + std::to_string(i);
    std::string lower = names[i];
    for (char& c : lower) c = static_cast<char>(std::tolower(c));
    EXPECT_FALSE(Bool("RegExists", {literal, "Roots\\" + lower}));
    ASSERT_TRUE(Bool("RegCreate", {names[i], "Roots\\" + lower}));
    EXPECT_TRUE(Bool("RegExists", {literal, "Roots\\" + lower}));
    EXPECT_TRUE(Bool("RegExists", {lower, "Roots\\" + lower}));
    EXPECT_TRUE(Bool("RegExists", {"&h8000000" + std::to_string(i), "Roots\\" + lower}));
    // Each root holds only its own key.
    const char* other = names[(i + 1) % 7];
    EXPECT_FALSE(Bool("RegExists", {other, "Roots\\" + lower}));
  }
}

TEST_F(RegistryMethodsTest, AnyOtherRootTextFailsEveryCall) {
  for (const std::string root : {"HKEY_NOWHERE", "&H80000007", "&H7FFFFFFF", "", "-1"}) {
    SCOPED_TRACE(root);
    EXPECT_FALSE(Bool("RegCreate", {root, "Nowhere"}));
    EXPECT_FALSE(Bool("RegExists", {root, ""}));
    EXPECT_FALSE(Bool("RegSetValue", {root, "Nowhere", "x"}));
    EXPECT_FALSE(Bool("RegSetValueEx", {root, "", "v", "1", "REG_DWORD"}));
    EXPECT_FALSE(Bool("RegDelete", {root, "Nowhere"}));
    EXPECT_FALSE(Bool("RegDeleteValue", {root, ""}));
    EXPECT_FALSE(Bool("RegDeleteValueEx", {root, "", "v"}));
    EXPECT_EQ(Text("RegGetValue", {root, ""}), "GetValueError");
    EXPECT_EQ(Text("RegGetValueEx", {root, "", "v"}), "GetValueError");
  }
}

TEST_F(RegistryMethodsTest, SlashesAndOneLeadingBackslashAddressTheSameKey) {
  ASSERT_TRUE(Bool("RegSetValue", {"HKEY_CURRENT_USER", "Software/Paths/Deep", "default"}));
  for (const std::string path : {"Software\\Paths\\Deep", "\\Software\\Paths\\Deep",
                                 "/Software/Paths/Deep", "software/paths\\DEEP"}) {
    EXPECT_TRUE(Bool("RegExists", {"HKEY_CURRENT_USER", path})) << path;
    EXPECT_EQ(Text("RegGetValue", {"HKEY_CURRENT_USER", path}), "default") << path;
  }
  EXPECT_FALSE(Bool("RegExists", {"HKEY_CURRENT_USER", "\\\\Software\\Paths\\Deep"}));
}

TEST_F(RegistryMethodsTest, StringDwordAndBinaryValuesReadBack) {
  const std::string root = "HKEY_CURRENT_USER";
  ASSERT_TRUE(Bool("RegCreate", {root, "Values"}));
  struct Case {
    std::string name, value, type, read;
  };
  const Case cases[] = {
      {"text", "hello, wörld", "REG_SZ", "hello, wörld"},
      {"untyped", "no type given", "", "no type given"},
      {"blank type", "blanks", "  ", "blanks"},
      {"padded type", "12", " REG_SZ ", "12"},
      {"empty", "", "REG_SZ", ""},
      {"byte", "255", "REG_DWORD", "255"},
      {"negative", "-1", "REG_DWORD", "-1"},
      {"lowest", "-2147483648", "REG_DWORD", "-2147483648"},
      {"highest", " +2147483647 ", "REG_DWORD", "2147483647"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Bool("RegSetValueEx", {root, "Values", c.name, c.value, c.type})) << c.name;
    EXPECT_EQ(Text("RegGetValueEx", {root, "Values", c.name}), c.read) << c.name;
  }
  // A DWORD is stored as four bytes; a string without a terminating zero.
  platform::HKEY key = 0;
  ASSERT_EQ(platform::RegOpenKey(platform::HKEY_CURRENT_USER, "Values", &key),
            platform::ERROR_SUCCESS);
  platform::DWORD type = 0, size = 0;
  ASSERT_EQ(platform::RegQueryValueEx(key, "byte", &type, nullptr, &size), platform::ERROR_SUCCESS);
  EXPECT_EQ(type, platform::REG_DWORD);
  EXPECT_EQ(size, 4u);
  ASSERT_EQ(platform::RegQueryValueEx(key, "text", &type, nullptr, &size), platform::ERROR_SUCCESS);
  EXPECT_EQ(size, std::string("hello, wörld").size());

  // Binary values, written by other programs, read as hexadecimal bytes; other types do not read.
  const unsigned char bytes[] = {0x00, 0x0A, 0xFF};
  ASSERT_EQ(platform::RegSetValueEx(key, "binary", platform::REG_BINARY, bytes, 3),
            platform::ERROR_SUCCESS);
  ASSERT_EQ(platform::RegSetValueEx(key, "expandable", platform::REG_EXPAND_SZ, "%TEMP%", 7),
            platform::ERROR_SUCCESS);
  ASSERT_EQ(platform::RegSetValueEx(key, "cut", platform::REG_SZ, "before\0after", 12),
            platform::ERROR_SUCCESS);
  platform::RegCloseKey(key);
  EXPECT_EQ(Text("RegGetValueEx", {root, "Values", "binary"}), "00 0A FF");
  EXPECT_EQ(Text("RegGetValueEx", {root, "Values", "expandable"}), "GetValueError");
  EXPECT_EQ(Text("RegGetValueEx", {root, "Values", "cut"}), "before");
  EXPECT_EQ(Text("RegGetValueEx", {root, "Values", "missing"}), "GetValueError");
  EXPECT_EQ(Text("RegGetValueEx", {root, "No such key", "text"}), "GetValueError");
}

TEST_F(RegistryMethodsTest, RefusedWritesChangeNothing) {
  const std::string root = "HKEY_CURRENT_USER";
  ASSERT_TRUE(Bool("RegSetValueEx", {root, "", "kept", "original", "REG_SZ"}));
  struct Case {
    std::string value, type;
  };
  const Case refused[] = {
      {"new", "REG_BINARY"}, {"new", "reg_sz"},           {"7", "REG_MULTI_SZ"},
      {"7", "REG_QWORD"},    {"seven", "REG_DWORD"},      {"", "REG_DWORD"},
      {"1.5", "REG_DWORD"},  {"4294967296", "REG_DWORD"}, {"2147483648", "REG_DWORD"}};
  for (const Case& c : refused) {
    EXPECT_FALSE(Bool("RegSetValueEx", {root, "", "kept", c.value, c.type})) << c.type << c.value;
    EXPECT_FALSE(Bool("RegSetValueEx", {root, "", "absent", c.value, c.type}));
  }
  EXPECT_EQ(Text("RegGetValueEx", {root, "", "kept"}), "original");
  EXPECT_EQ(Text("RegGetValueEx", {root, "", "absent"}), "GetValueError");
  // A named value needs its key: the key is not created.
  EXPECT_FALSE(Bool("RegSetValueEx", {root, "Not there", "v", "1", "REG_SZ"}));
  EXPECT_FALSE(Bool("RegExists", {root, "Not there"}));
}

TEST_F(RegistryMethodsTest, DefaultValuesAndNamedValuesAreSetReadAndDeleted) {
  const std::string root = "HKEY_LOCAL_MACHINE";
  EXPECT_EQ(Text("RegGetValue", {root, "Defaults"}), "GetValueError");  // no key yet
  ASSERT_TRUE(Bool("RegSetValue", {root, "Defaults\\Made", "first"}));  // creates the keys
  EXPECT_EQ(Text("RegGetValue", {root, "Defaults\\Made"}), "first");
  EXPECT_EQ(Text("RegGetValue", {root, "Defaults"}), "");  // a key without a default value
  EXPECT_TRUE(Bool("RegSetValue", {root, "Defaults\\Made", "second"}));
  EXPECT_EQ(Text("RegGetValueEx", {root, "Defaults\\Made", ""}), "second");

  EXPECT_TRUE(Bool("RegDeleteValue", {root, "Defaults\\Made"}));
  EXPECT_FALSE(Bool("RegDeleteValue", {root, "Defaults\\Made"}));
  EXPECT_EQ(Text("RegGetValue", {root, "Defaults\\Made"}), "");

  ASSERT_TRUE(Bool("RegSetValueEx", {root, "Defaults", "Named", "7", "REG_DWORD"}));
  EXPECT_TRUE(Bool("RegDeleteValueEx", {root, "Defaults", "named"}));
  EXPECT_FALSE(Bool("RegDeleteValueEx", {root, "Defaults", "Named"}));
  EXPECT_FALSE(Bool("RegDeleteValueEx", {root, "Defaults\\Gone", "Named"}));
}

TEST_F(RegistryMethodsTest, DeleteTakesTheWholeTreeAndNeverARoot) {
  const std::string root = "HKEY_CURRENT_USER";
  for (const std::string path : {"Tree\\a\\1", "Tree\\a\\2\\x", "Tree\\b", "Sibling"}) {
    ASSERT_TRUE(Bool("RegSetValue", {root, path, path}));
  }
  EXPECT_TRUE(Bool("RegDelete", {root, "/Tree"}));
  EXPECT_FALSE(Bool("RegExists", {root, "Tree"}));
  EXPECT_FALSE(Bool("RegDelete", {root, "Tree"}));  // already gone
  EXPECT_EQ(Text("RegGetValue", {root, "Sibling"}), "Sibling");

  // The root itself: refused, and nothing below it is lost on the way.
  EXPECT_FALSE(Bool("RegDelete", {root, ""}));
  EXPECT_FALSE(Bool("RegDelete", {root, "\\"}));
  EXPECT_EQ(Text("RegGetValue", {root, "Sibling"}), "Sibling");
}

// Two processes set values in one key at the same moment: every value of both is kept.
TEST_F(RegistryMethodsTest, TwoProcessesWritingOneKeyAtOnceLoseNothing) {
  ASSERT_TRUE(Bool("RegCreate", {"HKEY_CURRENT_USER", "Shared"}));
  constexpr int kValues = 150;
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  std::vector<pid_t> writers;
  for (const char* prefix : {"first", "second"}) {
    const pid_t pid = fork();
    if (pid == 0) {
      close(gate[1]);
      char go = 0;
      if (read(gate[0], &go, 1) != 1) _exit(2);
      FtpLibrary control;
      for (int i = 0; i < kValues; ++i) {
        if (!control.RegSetValueEx("HKEY_CURRENT_USER", "Shared", prefix + std::to_string(i),
                                   std::to_string(i), "REG_DWORD")) {
          _exit(1);
        }
      }
      _exit(0);
    }
    writers.push_back(pid);
  }
  close(gate[0]);
  ASSERT_EQ(write(gate[1], "gg", 2), 2);  // both start together
  close(gate[1]);
  for (const pid_t pid : writers) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  int missing = 0;
  for (const std::string prefix : {"first", "second"}) {
    for (int i = 0; i < kValues; ++i) {
      if (Text("RegGetValueEx", {"HKEY_CURRENT_USER", "Shared", prefix + std::to_string(i)}) !=
          std::to_string(i)) {
        ++missing;
      }
    }
  }
  EXPECT_EQ(missing, 0);
}

}  // namespace
}  // namespace tarvik::automation
