#include "platform/fs/file_handles.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/fs/file_attributes.h"
#include "platform/fs/file_operations.h"
#include "platform/fs/last_error.h"
#include "platform/fs/posix/errno_mapping.h"
#include "tests/platform/fs/drive_sandbox.h"

namespace tarvik::platform {
namespace {

using FileHandlesTest = testing::DriveSandbox;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Closes the handle at the end of a test.
struct Closer {
  HANDLE handle;
  ~Closer() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

TEST_F(FileHandlesTest, WritesReadsAndSeeks) {
  const HANDLE file = CreateFile("C:\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  Closer closer{file};
  DWORD count = 0;
  ASSERT_TRUE(WriteFile(file, "hello world", 11, &count));
  EXPECT_EQ(count, 11u);
  std::int64_t position = -1;
  ASSERT_TRUE(SetFilePointerEx(file, 6, &position, FILE_BEGIN));
  EXPECT_EQ(position, 6);
  char buffer[16] = {};
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count));
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(std::string(buffer, count), "world");
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count));  // at the end: success, nothing
  EXPECT_EQ(count, 0u);
  ASSERT_TRUE(SetFilePointerEx(file, -5, &position, FILE_END));
  EXPECT_EQ(position, 6);
  ASSERT_TRUE(SetFilePointerEx(file, -1, &position, FILE_CURRENT));
  EXPECT_EQ(position, 5);
  EXPECT_FALSE(SetFilePointerEx(file, -100, &position, FILE_CURRENT));
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_FALSE(SetFilePointerEx(file, 0, nullptr, 7));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ReadHostFile(C("data.bin")), "hello world");
}

TEST_F(FileHandlesTest, SizesAbove4GBHaveAHighPart) {
  const HANDLE file = CreateFile("C:\\big.bin", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  Closer closer{file};
  const std::int64_t offset = std::int64_t{1} << 32;  // 4 GiB, a sparse file
  ASSERT_TRUE(SetFilePointerEx(file, offset, nullptr, FILE_BEGIN));
  ASSERT_TRUE(WriteFile(file, "x", 1, nullptr));
  std::int64_t size = 0;
  ASSERT_TRUE(GetFileSizeEx(file, &size));
  EXPECT_EQ(size, offset + 1);
  DWORD high = 0;
  EXPECT_EQ(GetFileSize(file, &high), 1u);
  EXPECT_EQ(high, 1u);
}

TEST_F(FileHandlesTest, DispositionsFollowWin32) {
  MakeFile("old.txt", "keep");
  // OPEN_ALWAYS keeps the contents and says the file was there.
  HANDLE file = CreateFile("C:\\OLD.TXT", GENERIC_READ, kShareAll, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(file);
  EXPECT_EQ(ReadHostFile(C("old.txt")), "keep");
  // CREATE_NEW refuses an existing file and leaves it alone.
  EXPECT_EQ(CreateFile("C:\\old.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadHostFile(C("old.txt")), "keep");
  // CREATE_ALWAYS truncates and says the file was there.
  file = CreateFile("C:\\old.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(file);
  EXPECT_EQ(ReadHostFile(C("old.txt")), "");
  // A new file through OPEN_ALWAYS.
  file = CreateFile("C:\\new.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(file);
  EXPECT_TRUE(std::filesystem::exists(C("new.txt")));
  // TRUNCATE_EXISTING needs write access.
  EXPECT_EQ(CreateFile("C:\\new.txt", GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(CreateFile("C:\\new.txt", GENERIC_READ, 0, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FileHandlesTest, FailuresCarryWin32Codes) {
  MakeFile("dir/file.txt", "x");
  struct Row {
    std::string path;
    DWORD disposition;
    DWORD error;
  };
  const Row rows[] = {
      {"C:\\dir\\missing.txt", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {"C:\\nodir\\file.txt", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
      {"C:\\nodir\\file.txt", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
      {"C:\\dir\\file.txt\\x", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
      {"C:\\dir", OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"C:\\dir", CREATE_ALWAYS, ERROR_ACCESS_DENIED},
      {"C:\\", OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"C:\\dir\\file.txt\\", OPEN_EXISTING, ERROR_INVALID_NAME},
      {"", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
      {"relative.txt", CREATE_ALWAYS, ERROR_INVALID_NAME},
      {"C:\\bad\xFF.txt", CREATE_ALWAYS, ERROR_INVALID_NAME},
      {"C:\\" + std::string(300, 'x'), CREATE_ALWAYS, ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Row& row : rows) {
    SetLastError(0);
    EXPECT_EQ(CreateFile(row.path, GENERIC_WRITE, 0, row.disposition), INVALID_HANDLE_VALUE)
        << row.path;
    EXPECT_EQ(GetLastError(), row.error) << row.path;
  }
  EXPECT_FALSE(std::filesystem::exists(C("nodir")));
}

TEST_F(FileHandlesTest, ReadOnlyFilesRefuseWriting) {
  MakeFile("ro.txt", "data");
  ASSERT_TRUE(SetFileAttributes("C:\\ro.txt", FILE_ATTRIBUTE_READONLY));
  for (DWORD disposition : {OPEN_EXISTING, CREATE_ALWAYS, TRUNCATE_EXISTING}) {
    EXPECT_EQ(CreateFile("C:\\ro.txt", GENERIC_WRITE, 0, disposition), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  }
  EXPECT_EQ(ReadHostFile(C("ro.txt")), "data");
  const HANDLE file = CreateFile("C:\\ro.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  // A file created read-only.
  const HANDLE created =
      CreateFile("C:\\made-ro.txt", GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_READONLY);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(WriteFile(created, "x", 1, nullptr));
  CloseHandle(created);
  EXPECT_EQ(GetFileAttributes("C:\\made-ro.txt"), FILE_ATTRIBUTE_READONLY);
}

TEST_F(FileHandlesTest, HandlesRefuseWhatTheirAccessLacks) {
  const HANDLE writer = CreateFile("C:\\w.txt", GENERIC_WRITE, kShareAll, CREATE_NEW);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  Closer closer{writer};
  char byte;
  DWORD count = 7;
  EXPECT_FALSE(ReadFile(writer, &byte, 1, &count));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(count, 0u);
  const HANDLE reader = CreateFile("C:\\w.txt", GENERIC_READ, kShareAll, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(reader, "x", 1, &count));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(CloseHandle(reader));
  EXPECT_FALSE(CloseHandle(reader));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  for (HANDLE bad : {INVALID_HANDLE_VALUE, HANDLE{0}, HANDLE{12345}}) {
    EXPECT_FALSE(ReadFile(bad, &byte, 1, &count));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(WriteFile(bad, "x", 1, &count));
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetFilePointerEx(bad, 0, nullptr, FILE_BEGIN));
  }
}

TEST_F(FileHandlesTest, SharingModesAreEnforcedBetweenHandles) {
  MakeFile("shared.txt", "abc");
  // A writer that lets others read but not write.
  const HANDLE writer = CreateFile("C:\\shared.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  struct Row {
    DWORD access;
    DWORD share;
    bool allowed;
  };
  const Row rows[] = {
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},  // reads, lets the writer write
      {GENERIC_READ, FILE_SHARE_READ, false},                    // would deny the writer
      {GENERIC_WRITE, kShareAll, false},                         // writing is not shared
      {0, FILE_SHARE_READ | FILE_SHARE_WRITE, true},             // no access at all
  };
  for (const Row& row : rows) {
    const HANDLE other = CreateFile("C:\\shared.txt", row.access, row.share, OPEN_EXISTING);
    EXPECT_EQ(other != INVALID_HANDLE_VALUE, row.allowed) << row.access << "/" << row.share;
    if (other != INVALID_HANDLE_VALUE)
      CloseHandle(other);
    else
      EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  }
  // Truncating through CREATE_ALWAYS is refused too, and the contents stay.
  EXPECT_EQ(CreateFile("C:\\shared.txt", GENERIC_WRITE, kShareAll, CREATE_ALWAYS),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadHostFile(C("shared.txt")), "abc");
  CloseHandle(writer);
  const HANDLE now = CreateFile("C:\\shared.txt", GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_NE(now, INVALID_HANDLE_VALUE);
  CloseHandle(now);
}

TEST_F(FileHandlesTest, DeletionWaitsForHandlesThatDenyIt) {
  MakeFile("busy.txt", "x");
  const HANDLE holder = CreateFile("C:\\busy.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFile("C:\\busy.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  CloseHandle(holder);
  const HANDLE lenient = CreateFile("C:\\busy.txt", GENERIC_READ, kShareAll, OPEN_EXISTING);
  EXPECT_TRUE(DeleteFile("C:\\busy.txt"));
  CloseHandle(lenient);
  EXPECT_FALSE(std::filesystem::exists(C("busy.txt")));
}

TEST_F(FileHandlesTest, SharingHoldsAcrossProcesses) {
  MakeFile("locked.txt", "x");
  int to_parent[2], to_child[2];
  ASSERT_EQ(pipe(to_parent), 0);
  ASSERT_EQ(pipe(to_child), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Holds the file without any sharing until the parent has tried.
    const HANDLE held = CreateFile("C:\\locked.txt", GENERIC_READ, 0, OPEN_EXISTING);
    const char ready = held != INVALID_HANDLE_VALUE ? 'y' : 'n';
    char done;
    if (write(to_parent[1], &ready, 1) != 1 || read(to_child[0], &done, 1) != 1) _exit(2);
    _exit(0);
  }
  char ready = 0;
  ASSERT_EQ(read(to_parent[0], &ready, 1), 1);
  ASSERT_EQ(ready, 'y');
  EXPECT_EQ(CreateFile("C:\\locked.txt", GENERIC_READ, kShareAll, OPEN_EXISTING),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  ASSERT_EQ(write(to_child[1], "z", 1), 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const HANDLE after = CreateFile("C:\\locked.txt", GENERIC_READ, kShareAll, OPEN_EXISTING);
  EXPECT_NE(after, INVALID_HANDLE_VALUE);
  CloseHandle(after);
  for (int fd : {to_parent[0], to_parent[1], to_child[0], to_child[1]}) close(fd);
}

TEST(LastErrorTest, MapsErrnoToWin32) {
  EXPECT_EQ(Win32ErrorFromErrno(ENOENT), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Win32ErrorFromErrno(ENOTDIR), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(Win32ErrorFromErrno(EACCES), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Win32ErrorFromErrno(ENOSPC), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(Win32ErrorFromErrno(ENAMETOOLONG), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(Win32ErrorFromErrno(EXDEV), static_cast<DWORD>(ERROR_GEN_FAILURE));
  SetLastError(1234);
  EXPECT_EQ(GetLastError(), 1234u);
}

TEST(LastErrorTest, SystemMessagesForFileCodes) {
  EXPECT_EQ(FormatSystemMessage(ERROR_FILE_NOT_FOUND),
            "The system cannot find the file specified.");
  EXPECT_EQ(FormatSystemMessage(ERROR_SHARING_VIOLATION),
            "The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(FormatSystemMessage(ERROR_FILENAME_EXCED_RANGE),
            "The filename or extension is too long.");
  EXPECT_EQ(FormatSystemMessage(99999), "");
}

}  // namespace
}  // namespace tarvik::platform
