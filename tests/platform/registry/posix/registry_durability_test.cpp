// The store on disk: persistence, concurrent processes, a writer killed mid-way, damaged files.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/platform/registry/registry_fixture.h"

namespace tarvik::platform {
namespace {

using RegistryStoreTest = RegistryTest;

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Writes `count` DWORD values "<prefix><i>" = i under HKEY_CURRENT_USER\Shared, one call (one
// transaction) each, after one byte arrives on `start`. After each commit, writes the index to
// `progress` (when not -1). Exit status: 0, or 1 on the first failed call.
[[noreturn]] void WriterProcess(int start, int progress, const std::string& prefix, int count) {
  char go = 0;
  if (read(start, &go, 1) != 1) _exit(2);
  HKEY key = 0;
  if (RegCreateKey(HKEY_CURRENT_USER, "Shared", &key) != ERROR_SUCCESS) _exit(1);
  for (int i = 0; i < count; ++i) {
    const DWORD value = static_cast<DWORD>(i);
    if (RegSetValueEx(key, prefix + std::to_string(i), REG_DWORD, &value, 4) != ERROR_SUCCESS) {
      _exit(1);
    }
    if (progress != -1 && write(progress, &i, sizeof i) != sizeof i) _exit(3);
  }
  _exit(0);
}

// Checks that "<prefix><i>" = i exists for every i below `count`.
void ExpectValues(const std::string& prefix, int count) {
  HKEY key = 0;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Shared", &key), ERROR_SUCCESS);
  int missing = 0;
  for (int i = 0; i < count; ++i) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueEx(key, prefix + std::to_string(i), nullptr, &value, &size) != ERROR_SUCCESS ||
        value != static_cast<DWORD>(i)) {
      ++missing;
    }
  }
  EXPECT_EQ(missing, 0) << prefix;
  RegCloseKey(key);
}

TEST_F(RegistryStoreTest, ValuesSurviveClosingTheStore) {
  ASSERT_EQ(WriteRegistryString(HKEY_LOCAL_MACHINE, "Kept", "name", "value"), ERROR_SUCCESS);
  CloseRegistryStore();
  EXPECT_TRUE(std::filesystem::exists(StorePath()));
  std::string text;
  ASSERT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, "Kept", "name", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "value");
}

TEST_F(RegistryStoreTest, ClosingTheStoreInvalidatesOpenHandles) {
  const HKEY key = Create("Open");
  CloseRegistryStore();
  EXPECT_EQ(RegSetValueEx(key, "v", REG_SZ, "x", 1), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryStoreTest, TarvikRegistryNamesAnotherFile) {
  EXPECT_EQ(RegistryStorePath(), StorePath().string());
  const std::filesystem::path other = root_ / "elsewhere" / "other.db";
  setenv("TARVIK_REGISTRY", other.c_str(), 1);
  CloseRegistryStore();
  EXPECT_EQ(RegistryStorePath(), other.string());
  ASSERT_EQ(WriteRegistryString(HKEY_CURRENT_USER, "K", "v", "in other"), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_FALSE(std::filesystem::exists(StorePath()));

  unsetenv("TARVIK_REGISTRY");
  CloseRegistryStore();
  std::string text;
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "K", "v", &text), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kPerWriter = 1000;
  CloseRegistryStore();  // each process opens its own connection
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) WriterProcess(start[0], -1, w == 0 ? "first" : "second", kPerWriter);
  }
  ASSERT_EQ(write(start[1], "gg", 2), 2);  // release both at once
  close(start[0]);
  close(start[1]);
  for (pid_t writer : writers) {
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  ExpectValues("first", kPerWriter);
  ExpectValues("second", kPerWriter);
  HKEY key = 0;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Shared", &key), ERROR_SUCCESS);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKey(key, nullptr, &values), ERROR_SUCCESS);
  EXPECT_EQ(values, 2u * kPerWriter);
  RegCloseKey(key);
}

TEST_F(RegistryStoreTest, WriterKilledMidRunLeavesEveryCommittedValue) {
  constexpr int kPlanned = 100000;  // far more than it will finish before the kill
  constexpr int kKillAfter = 300;
  CloseRegistryStore();
  int start[2];
  int progress[2];
  ASSERT_EQ(pipe(start), 0);
  ASSERT_EQ(pipe(progress), 0);
  const pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    close(progress[0]);
    WriterProcess(start[0], progress[1], "v", kPlanned);
  }
  close(progress[1]);
  ASSERT_EQ(write(start[1], "g", 1), 1);
  int committed = -1;
  int index = 0;
  while (committed + 1 < kKillAfter && read(progress[0], &index, sizeof index) == sizeof index) {
    committed = index;
  }
  ASSERT_EQ(kill(writer, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(writer, &status, 0), writer);
  EXPECT_TRUE(WIFSIGNALED(status));
  // Reports that were already in the pipe when the writer died are committed values too.
  while (read(progress[0], &index, sizeof index) == sizeof index) committed = index;
  close(progress[0]);
  close(start[0]);
  close(start[1]);

  ASSERT_GE(committed + 1, kKillAfter);
  ExpectValues("v", committed + 1);
  // The store takes new writes after the crash.
  ASSERT_EQ(WriteRegistryString(HKEY_CURRENT_USER, "Shared", "after", "crash"), ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, GarbageFileGivesBadDbAndIsLeftUntouched) {
  std::string garbage;
  for (int i = 0; i < 8192; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) % 251));
  WriteWholeFile(StorePath(), garbage);

  HKEY key = 0;
  EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, "A", &key), ERROR_BADDB);
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "A", &key), ERROR_BADDB);
  EXPECT_EQ(WriteRegistryString(HKEY_CURRENT_USER, "A", "v", "x"), ERROR_BADDB);
  std::string text;
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "A", "v", &text), ERROR_BADDB);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A"), ERROR_BADDB);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  EXPECT_EQ(ReadWholeFile(StorePath()), garbage);

  // Once the damaged file is gone, the store starts afresh.
  std::filesystem::remove(StorePath());
  EXPECT_EQ(WriteRegistryString(HKEY_CURRENT_USER, "A", "v", "x"), ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, DamagedPagesGiveBadDbNotACrash) {
  const HKEY key = Create("Damaged");
  for (int i = 0; i < 200; ++i) {
    const std::string data(100, static_cast<char>('a' + i % 26));
    ASSERT_EQ(RegSetValueEx(key, "value" + std::to_string(i), REG_SZ, data.data(), 100),
              ERROR_SUCCESS);
  }
  CloseRegistryStore();
  std::string bytes = ReadWholeFile(StorePath());
  ASSERT_GT(bytes.size(), 8192u);
  // Keep the 100-byte file header, overwrite everything after it.
  for (std::size_t i = 100; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5 ^ (i & 0xFF));
  WriteWholeFile(StorePath(), bytes);

  std::string text;
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "Damaged", "value1", &text), ERROR_BADDB);
  EXPECT_EQ(WriteRegistryString(HKEY_CURRENT_USER, "Damaged", "new", "x"), ERROR_BADDB);
}

TEST_F(RegistryStoreTest, DatabaseOfAnotherProgramIsRefusedAndLeftAlone) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(StorePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine');", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string before = ReadWholeFile(StorePath());

  EXPECT_EQ(WriteRegistryString(HKEY_CURRENT_USER, "A", "v", "x"), ERROR_BADDB);
  CloseRegistryStore();
  EXPECT_EQ(ReadWholeFile(StorePath()), before);
}

}  // namespace
}  // namespace tarvik::platform
