// The registry calls on the system's registry: UTF-8 here, UTF-16 there.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace tarvik::platform {
namespace {

constexpr const char* kTestKey = "Software\\Tarvik platform test";

class SystemRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, kTestKey, &key_), 0); }
  void TearDown() override {
    RegDeleteKey(key_, "child");
    RegCloseKey(key_);
    RegDeleteKey(HKEY_CURRENT_USER, kTestKey);
  }
  HKEY key_ = 0;
};

TEST_F(SystemRegistryTest, ValuesReadBackAsTheyWereWritten) {
  const std::uint32_t number = 0xC0FFEE;
  struct Row {
    const char* name;
    DWORD type;
    std::string data;
    std::string read;  // as the system gives it back
  };
  const std::string greeting = std::string("Grüße aus 東京", 18) + '\0';
  const std::string binary("\x00\xFF\x10", 3);
  const std::string dword(reinterpret_cast<const char*>(&number), 4);
  const std::vector<Row> rows = {
      {"Grüße", REG_SZ, greeting, greeting},
      // The system adds the terminating zero a string was written without.
      {"plain", REG_SZ, "no zero", std::string("no zero", 8)},
      {"number", REG_DWORD, dword, dword},
      {"bytes", REG_BINARY, binary, binary},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(RegSetValueEx(key_, row.name, row.type, row.data.data(),
                            static_cast<DWORD>(row.data.size())),
              ERROR_SUCCESS)
        << row.name;
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueEx(key_, row.name, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, row.type) << row.name;
    EXPECT_EQ(size, row.read.size()) << row.name;
    std::string read(size, '\0');
    DWORD small = size - 1;
    EXPECT_EQ(RegQueryValueEx(key_, row.name, nullptr, read.data(), &small), ERROR_MORE_DATA);
    EXPECT_EQ(RegQueryValueEx(key_, row.name, nullptr, read.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(read, row.read) << row.name;
  }
  std::string text;
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kTestKey, "Grüße", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "Grüße aus 東京");
  EXPECT_EQ(RegSetValueEx(key_, "short", REG_DWORD, "ab", 2), ERROR_INVALID_PARAMETER);
  for (const Row& row : rows) EXPECT_EQ(RegDeleteValue(key_, row.name), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key_, "plain"), ERROR_FILE_NOT_FOUND);
  DWORD values = 1;
  EXPECT_EQ(RegQueryInfoKey(key_, nullptr, &values), ERROR_SUCCESS);
  EXPECT_EQ(values, 0u);
}

TEST_F(SystemRegistryTest, KeysEnumerateAndAParentWithChildrenStays) {
  HKEY child = 0;
  ASSERT_EQ(RegCreateKey(key_, "child\\grandchild", &child), ERROR_SUCCESS);
  RegCloseKey(child);
  std::string name;
  EXPECT_EQ(RegEnumKey(key_, 0, &name), ERROR_SUCCESS);
  EXPECT_EQ(name, "child");
  EXPECT_EQ(RegEnumKey(key_, 1, &name), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegDeleteKey(key_, "child"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(key_, "child\\grandchild"), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKey(key_, "a\\\\b", &child), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegCloseKey(child + 1000), ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace tarvik::platform
