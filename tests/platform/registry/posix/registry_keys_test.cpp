#include <string>
#include <vector>

#include "tests/platform/registry/registry_fixture.h"

namespace tarvik::platform {
namespace {

TEST(PredefinedKeyFromNameTest, NamesEveryRootIgnoringCase) {
  const std::pair<std::string_view, HKEY> cases[] = {{"HKEY_CLASSES_ROOT", 0x80000000u},
                                                     {"hkey_current_user", 0x80000001u},
                                                     {"HKEY_LOCAL_MACHINE", 0x80000002u},
                                                     {"Hkey_Users", 0x80000003u},
                                                     {"HKEY_PERFORMANCE_DATA", 0x80000004u},
                                                     {"HKEY_CURRENT_CONFIG", 0x80000005u},
                                                     {"HKEY_DYN_DATA", 0x80000006u},
                                                     {"HKEY_CURRENT", kInvalidKeyHandle},
                                                     {"", kInvalidKeyHandle},
                                                     {"HKEY_CURRENT_USERX", kInvalidKeyHandle}};
  for (const auto& [name, handle] : cases) EXPECT_EQ(PredefinedKeyFromName(name), handle) << name;
}

using RegistryKeysTest = RegistryTest;

TEST_F(RegistryKeysTest, CreatesNestedKeysAndOpensThemAgain) {
  const HKEY created = Create("Software\\Tarvik\\Settings");
  EXPECT_EQ(RegCloseKey(created), ERROR_SUCCESS);

  HKEY opened = 0;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\Tarvik\\Settings", &opened), ERROR_SUCCESS);
  HKEY parent = 0;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\Tarvik", &parent), ERROR_SUCCESS);
  HKEY child = 0;
  EXPECT_EQ(RegOpenKey(parent, "Settings", &child), ERROR_SUCCESS);
  EXPECT_NE(child, opened);  // every open gives a handle of its own
  for (HKEY key : {opened, parent, child}) EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryKeysTest, MissingKeyIsNotFoundAndNotCreatedByOpening) {
  HKEY key = 0;
  EXPECT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, "Software\\Nothing", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, "Software", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeysTest, RootsAreSeparate) {
  RegCloseKey(Create("Software\\OnlyUser"));
  HKEY key = 0;
  EXPECT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, "Software\\OnlyUser", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKey(HKEY_CLASSES_ROOT, "Software\\OnlyUser", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeysTest, EmptySubKeyReturnsRootItselfOrANewHandle) {
  HKEY key = 0;
  ASSERT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, "", &key), ERROR_SUCCESS);
  EXPECT_EQ(key, HKEY_CLASSES_ROOT);
  ASSERT_EQ(RegOpenKey(HKEY_USERS, "", &key), ERROR_SUCCESS);
  EXPECT_EQ(key, HKEY_USERS);

  const HKEY first = Create("A");
  HKEY again = 0;
  ASSERT_EQ(RegOpenKey(first, "", &again), ERROR_SUCCESS);
  EXPECT_NE(again, first);
  EXPECT_EQ(RegCloseKey(first), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(again, "v", REG_SZ, "x", 1), ERROR_SUCCESS);  // still open
  EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
}

TEST_F(RegistryKeysTest, ClosedAndUnknownHandlesAreInvalid) {
  const HKEY key = Create("A");
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  DWORD value = 1;
  EXPECT_EQ(RegSetValueEx(key, "v", REG_DWORD, &value, 4), ERROR_INVALID_HANDLE);
  HKEY out = 0;
  for (HKEY bad : {HKEY{0}, kInvalidKeyHandle, HKEY{0x12345}, HKEY{0x80000007u}}) {
    EXPECT_EQ(RegOpenKey(bad, "A", &out), ERROR_INVALID_HANDLE) << bad;
    EXPECT_EQ(RegCreateKey(bad, "A", &out), ERROR_INVALID_HANDLE) << bad;
    EXPECT_EQ(RegDeleteKey(bad, "A"), ERROR_INVALID_HANDLE) << bad;
    EXPECT_EQ(RegQueryValueEx(bad, "", nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE) << bad;
    std::string name;
    EXPECT_EQ(RegEnumKey(bad, 0, &name), ERROR_INVALID_HANDLE) << bad;
    EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE) << bad;
  }
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);  // closing a root is harmless
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "A", &out), ERROR_SUCCESS);
  RegCloseKey(out);
}

TEST_F(RegistryKeysTest, KeyNamesIgnoreCaseAndKeepTheirSpelling) {
  RegCloseKey(Create("Software\\TarVik"));
  HKEY same = 0;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "SOFTWARE\\tarvik", &same), ERROR_SUCCESS);
  RegCloseKey(same);
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "software\\TARVIK", &same), ERROR_SUCCESS);
  RegCloseKey(same);

  HKEY software = 0;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software", &software), ERROR_SUCCESS);
  std::string name;
  ASSERT_EQ(RegEnumKey(software, 0, &name), ERROR_SUCCESS);
  EXPECT_EQ(name, "TarVik");
  EXPECT_EQ(RegEnumKey(software, 1, &name), ERROR_NO_MORE_ITEMS);  // not created twice
  RegCloseKey(software);
}

TEST_F(RegistryKeysTest, EnumeratesSubKeysInCaseInsensitiveOrder) {
  const HKEY parent = Create("List");
  for (const char* name : {"gamma", "Beta", "alpha", "Delta"}) {
    HKEY child = 0;
    ASSERT_EQ(RegCreateKey(parent, name, &child), ERROR_SUCCESS);
    RegCloseKey(child);
  }
  RegCloseKey(Create("List\\alpha\\deeper"));  // grandchildren are not listed
  std::vector<std::string> names;
  std::string name;
  DWORD index = 0;
  for (LSTATUS status; (status = RegEnumKey(parent, index, &name)) != ERROR_NO_MORE_ITEMS;
       ++index) {
    ASSERT_EQ(status, ERROR_SUCCESS);
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Delta", "gamma"}));
  EXPECT_EQ(RegEnumKey(parent, 1000, &name), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegEnumKey(parent, 0, nullptr), ERROR_INVALID_PARAMETER);
  DWORD sub_keys = 0;
  DWORD values = 7;
  EXPECT_EQ(RegQueryInfoKey(parent, &sub_keys, &values), ERROR_SUCCESS);
  EXPECT_EQ(sub_keys, 4u);
  EXPECT_EQ(values, 0u);
  RegCloseKey(parent);
}

TEST_F(RegistryKeysTest, DeleteKeyRefusesAKeyWithSubKeys) {
  RegCloseKey(Create("Tree\\Branch\\Leaf"));
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Tree\\Branch"), ERROR_ACCESS_DENIED);
  HKEY key = 0;
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Tree\\Branch\\Leaf", &key), ERROR_SUCCESS);
  RegCloseKey(key);

  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "TREE\\branch\\LEAF"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Tree\\Branch"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Tree\\Branch"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Tree\\Branch", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Tree", &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryKeysTest, DeletedKeyTakesItsValuesAndItsHandlesGoStale) {
  const HKEY key = Create("Gone");
  ASSERT_EQ(RegSetValueEx(key, "v", REG_SZ, "old", 3), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Gone"), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(key, "v", REG_SZ, "new", 3), ERROR_KEY_DELETED);
  EXPECT_EQ(RegQueryValueEx(key, "v", nullptr, nullptr, nullptr), ERROR_KEY_DELETED);

  // A key of the same name made afterwards is a new, empty key, not the stale handle's.
  const HKEY fresh = Create("Gone");
  EXPECT_EQ(RegQueryValueEx(fresh, "v", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueEx(key, "v", nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  RegCloseKey(fresh);
}

TEST_F(RegistryKeysTest, DeleteKeyWithEmptySubKeyDeletesTheHandlesKey) {
  const HKEY key = Create("Self");
  EXPECT_EQ(RegDeleteKey(key, ""), ERROR_SUCCESS);
  HKEY out = 0;
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Self", &out), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryKeysTest, PredefinedRootsCannotBeDeleted) {
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_DYN_DATA, ""), ERROR_ACCESS_DENIED);
  RegCloseKey(Create("StillThere"));
  HKEY key = 0;
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "StillThere", &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryKeysTest, MalformedKeyPathsAreRefused) {
  HKEY key = 0;
  const std::string longest(kMaxKeyNameLength, 'k');
  const std::pair<std::string, LSTATUS> cases[] = {
      {"\\Leading", ERROR_BAD_PATHNAME},
      {"Double\\\\Separator", ERROR_BAD_PATHNAME},
      {"\\", ERROR_SUCCESS},  // one trailing separator alone is the empty path
      {"Trailing\\", ERROR_SUCCESS},
      {longest, ERROR_SUCCESS},
      {longest + "k", ERROR_INVALID_PARAMETER},
      {"Ok\\" + longest + "k", ERROR_INVALID_PARAMETER},
      {std::string("Nul\0Byte", 8), ERROR_INVALID_PARAMETER},
  };
  for (const auto& [path, expected] : cases) {
    const LSTATUS status = RegCreateKey(HKEY_CURRENT_USER, path, &key);
    EXPECT_EQ(status, expected) << path;
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    if (expected != ERROR_SUCCESS) {
      EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, path, &key), expected) << path;
      EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, path), expected) << path;
    }
  }
  // Nothing of the refused paths was created; the accepted ones exist once.
  DWORD sub_keys = 0;
  ASSERT_EQ(RegQueryInfoKey(HKEY_CURRENT_USER, &sub_keys, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(sub_keys, 2u);  // "Trailing" and the 255-character name
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Trailing", &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryKeysTest, NullResultPointerAndBadOptionsAreRefused) {
  EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, "A", nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "", nullptr), ERROR_INVALID_PARAMETER);
  HKEY key = 0;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "", 1, KEY_READ, &key), ERROR_INVALID_PARAMETER);
  DWORD sub_keys = 1;
  ASSERT_EQ(RegQueryInfoKey(HKEY_CURRENT_USER, &sub_keys, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(sub_keys, 0u);
}

TEST_F(RegistryKeysTest, HandleRightsAreEnforced) {
  RegCloseKey(Create("Rights"));
  HKEY reader = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Rights", 0, KEY_READ, &reader), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(reader, "v", REG_SZ, "x", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(reader, "v"), ERROR_ACCESS_DENIED);
  HKEY child = 0;
  EXPECT_EQ(RegCreateKey(reader, "Child", &child), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegQueryValueEx(reader, "v", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

  HKEY writer = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Rights", 0, KEY_WRITE, &writer), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(writer, "v", REG_SZ, "x", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(writer, "v", nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
  std::string name;
  EXPECT_EQ(RegEnumKey(writer, 0, &name), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegQueryValueEx(reader, "v", nullptr, nullptr, nullptr), ERROR_SUCCESS);
  RegCloseKey(reader);
  RegCloseKey(writer);
}

}  // namespace
}  // namespace tarvik::platform
