#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/registry/registry_fixture.h"

namespace tarvik::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// Reads a value whole through the two-call pattern of the Win32 API.
LSTATUS ReadValue(HKEY key, std::string_view name, DWORD* type, Bytes* data) {
  DWORD size = 0;
  if (LSTATUS status = RegQueryValueEx(key, name, type, nullptr, &size); status != ERROR_SUCCESS) {
    return status;
  }
  data->assign(size, 0xEE);
  const LSTATUS status = RegQueryValueEx(key, name, type, data->data(), &size);
  data->resize(size);
  return status;
}

class RegistryValuesTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    key_ = Create("Software\\Values");
  }
  void TearDown() override {
    RegCloseKey(key_);
    RegistryTest::TearDown();
  }
  HKEY key_ = 0;
};

TEST_F(RegistryValuesTest, EachTypeReadsBackExactly) {
  const DWORD number = 255;
  const Bytes binary = {0x00, 0x01, 0xFF, 0x00, 0x7F};
  const std::string unterminated = "no zero";
  const std::string terminated("with zero", 10);
  ASSERT_EQ(RegSetValueEx(key_, "Number", REG_DWORD, &number, 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "Blob", REG_BINARY, binary.data(), 5), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "Plain", REG_SZ, unterminated.data(), 7), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "Ended", REG_SZ, terminated.data(), 10), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "Empty", REG_BINARY, nullptr, 0), ERROR_SUCCESS);

  DWORD type = 0;
  Bytes data;
  ASSERT_EQ(ReadValue(key_, "Number", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  ASSERT_EQ(data.size(), 4u);
  DWORD read_number = 0;
  std::memcpy(&read_number, data.data(), 4);
  EXPECT_EQ(read_number, 255u);

  ASSERT_EQ(ReadValue(key_, "Blob", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(data, binary);
  ASSERT_EQ(ReadValue(key_, "Plain", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(data, BytesOf(unterminated));
  ASSERT_EQ(ReadValue(key_, "Ended", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(data, BytesOf(terminated));
  ASSERT_EQ(ReadValue(key_, "Empty", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_TRUE(data.empty());
}

TEST_F(RegistryValuesTest, SettingAgainReplacesTypeAndData) {
  const DWORD number = 1;
  ASSERT_EQ(RegSetValueEx(key_, "v", REG_DWORD, &number, 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "v", REG_SZ, "text", 4), ERROR_SUCCESS);
  DWORD type = 0;
  Bytes data;
  ASSERT_EQ(ReadValue(key_, "v", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(data, BytesOf("text"));
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKey(key_, nullptr, &values), ERROR_SUCCESS);
  EXPECT_EQ(values, 1u);
}

TEST_F(RegistryValuesTest, BufferRulesFollowTheWin32Calls) {
  ASSERT_EQ(RegSetValueEx(key_, "v", REG_BINARY, "12345678", 8), ERROR_SUCCESS);
  DWORD size = 0;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueEx(key_, "v", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(RegQueryValueEx(key_, "v", &type, nullptr, nullptr), ERROR_SUCCESS);

  char small[4] = {'x', 'x', 'x', 'x'};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueEx(key_, "v", nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(std::string(small, 4), "xxxx");  // nothing written past a short buffer

  char exact[8];
  size = sizeof exact;
  EXPECT_EQ(RegQueryValueEx(key_, "v", nullptr, exact, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(exact, size), "12345678");

  EXPECT_EQ(RegQueryValueEx(key_, "v", nullptr, exact, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryValuesTest, ValueNamesIgnoreCaseAndKeepTheirSpelling) {
  ASSERT_EQ(RegSetValueEx(key_, "MixedCase", REG_SZ, "one", 3), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "MIXEDCASE", REG_SZ, "two", 3), ERROR_SUCCESS);
  Bytes data;
  DWORD type = 0;
  ASSERT_EQ(ReadValue(key_, "mixedcase", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(data, BytesOf("two"));
  std::string name;
  ASSERT_EQ(RegEnumValue(key_, 0, &name, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(name, "MixedCase");
  EXPECT_EQ(RegEnumValue(key_, 1, &name, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegDeleteValue(key_, "mIxEdCaSe"), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(key_, "MixedCase", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryValuesTest, EnumeratesValuesInTheOrderFirstSet) {
  const DWORD number = 7;
  ASSERT_EQ(RegSetValueEx(key_, "zeta", REG_SZ, "z", 1), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "", REG_SZ, "default", 7), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "alpha", REG_DWORD, &number, 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "zeta", REG_SZ, "again", 5), ERROR_SUCCESS);  // keeps its place

  std::vector<std::string> names;
  std::vector<DWORD> types;
  std::string name;
  DWORD type = 0;
  Bytes data;
  DWORD index = 0;
  for (LSTATUS status; (status = RegEnumValue(key_, index, &name, &type, &data)) == ERROR_SUCCESS;
       ++index) {
    names.push_back(name);
    types.push_back(type);
    if (index == 0) {
      EXPECT_EQ(data, BytesOf("again"));
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"zeta", "", "alpha"}));
  EXPECT_EQ(types, (std::vector<DWORD>{REG_SZ, REG_SZ, REG_DWORD}));
  EXPECT_EQ(RegEnumValue(key_, 3, &name, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegEnumValue(key_, 0, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryValuesTest, DeleteValueRemovesOnlyThatValue) {
  ASSERT_EQ(RegSetValueEx(key_, "keep", REG_SZ, "k", 1), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key_, "drop", REG_SZ, "d", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key_, "drop"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key_, "drop"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValue(key_, ""), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueEx(key_, "keep", nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryValuesTest, OldFormsReadAndWriteTheDefaultValue) {
  // RegSetValue creates the missing subkey and stores a zero-terminated REG_SZ.
  ASSERT_EQ(RegSetValue(key_, "New\\Sub", REG_SZ, "hello"), ERROR_SUCCESS);
  HKEY sub = 0;
  ASSERT_EQ(RegOpenKey(key_, "new\\sub", &sub), ERROR_SUCCESS);
  DWORD type = 0;
  Bytes data;
  ASSERT_EQ(ReadValue(sub, "", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(data, BytesOf(std::string("hello", 6)));

  char text[16];
  DWORD size = sizeof text;
  ASSERT_EQ(RegQueryValue(key_, "New\\Sub", text, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(text, "hello");
  size = 3;
  EXPECT_EQ(RegQueryValue(key_, "New\\Sub", text, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  // The default value written without its zero still reads as a terminated text.
  ASSERT_EQ(RegSetValueEx(sub, "", REG_SZ, "bare", 4), ERROR_SUCCESS);
  size = sizeof text;
  ASSERT_EQ(RegQueryValue(sub, "", text, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 5u);
  EXPECT_STREQ(text, "bare");
  RegCloseKey(sub);

  // A key without a default value reads as the empty text; a missing key is not found.
  size = sizeof text;
  ASSERT_EQ(RegQueryValue(HKEY_CURRENT_USER, "Software", text, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 1u);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(RegQueryValueEx(key_, "", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValue(key_, "Missing", text, &size), ERROR_FILE_NOT_FOUND);

  const DWORD number = 3;
  ASSERT_EQ(RegSetValueEx(key_, "", REG_DWORD, &number, 4), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValue(key_, "", text, &size), ERROR_INVALID_DATA);
  EXPECT_EQ(RegSetValue(key_, "", REG_DWORD, "3"), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryValuesTest, ReadAndWriteStringCreateTheKeyAndCutAtTheZero) {
  ASSERT_EQ(WriteRegistryString(HKEY_CURRENT_USER, "A\\B", "Personal", "/home/docs"),
            ERROR_SUCCESS);
  std::string text;
  ASSERT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "a\\b", "PERSONAL", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "/home/docs");
  ASSERT_EQ(RegSetValueEx(key_, "two", REG_EXPAND_SZ, "first\0second", 12), ERROR_SUCCESS);
  ASSERT_EQ(ReadRegistryString(key_, "", "two", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "first");
  const DWORD number = 1;
  ASSERT_EQ(RegSetValueEx(key_, "n", REG_DWORD, &number, 4), ERROR_SUCCESS);
  EXPECT_EQ(ReadRegistryString(key_, "", "n", &text), ERROR_INVALID_DATA);
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "A\\Missing", "x", &text), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "A\\B", "x", nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryValuesTest, BadValueArgumentsAreRefusedAndChangeNothing) {
  const std::string longest(kMaxValueNameLength, 'v');
  const DWORD number = 1;
  EXPECT_EQ(RegSetValueEx(key_, longest, REG_DWORD, &number, 4), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(key_, longest + "v", REG_DWORD, &number, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueEx(key_, longest + "v", nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key_, std::string("a\0b", 3), REG_SZ, "x", 1), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key_, "dword", REG_DWORD, &number, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key_, "dword", REG_DWORD, &number, 8), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key_, "null", REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WriteRegistryString(key_, "\\bad", "v", "x"), ERROR_BAD_PATHNAME);
  DWORD values = 0;
  DWORD sub_keys = 0;
  ASSERT_EQ(RegQueryInfoKey(key_, &sub_keys, &values), ERROR_SUCCESS);
  EXPECT_EQ(values, 1u);  // only the 16,383-character name
  EXPECT_EQ(sub_keys, 0u);
}

}  // namespace
}  // namespace tarvik::platform
