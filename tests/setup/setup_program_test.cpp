// tarvinst: a fresh install and one over it, the browser keys, the uninstallers, and each way an
// install fails, with the message box the user sees.
#include <gtest/gtest.h>

#include "platform/fs/file_handles.h"
#include "tests/setup/setup_fixture.h"

namespace tarvik::setup {
namespace {

using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_CURRENT_USER;

constexpr const char* kCompleted = "Install ftp ocx: Install Completed";
constexpr const char* kControlClass = "{31AE647D-11D1-4E6A-BE2D-90157640019A}";
constexpr const char* kSecondClass = "{127698e4-e730-4e5c-a2b1-21490a70c8a1}";
const std::string kStats = "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\";
const std::string kZones =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\";

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST_F(SetupProgramTest, FreshInstallCopiesRegistersAndPreparesTheBrowser) {
  Ship();
  std::ofstream(shipped_ / "uninst.exe") << "uninstaller";
  const SetupRun run = RunSetup();
  ASSERT_EQ(run.exit_code, 0) << run.boxes;
  EXPECT_EQ(run.boxes, std::string(kCompleted) + "\n");

  const std::filesystem::path target = InstallFolder() / "tarvikftp.ocx";
  EXPECT_EQ(ReadHostFile(target), ReadHostFile(TARVIK_SERVER_LIBRARY));
  EXPECT_EQ(ReadHostFile(InstallFolder() / "uninst.exe"), "uninstaller");
  EXPECT_FALSE(std::filesystem::exists(InstallFolder() / "uninst_cn.exe"));

  // Registered with the installed copy's path.
  std::string text;
  ASSERT_EQ(
      platform::ReadRegistryString(HKEY_CLASSES_ROOT, "TarvikFtp.FtpLibrary\\CLSID", "", &text),
      platform::ERROR_SUCCESS);
  EXPECT_EQ(text, kControlClass);
  ASSERT_EQ(platform::ReadRegistryString(
                HKEY_CLASSES_ROOT, std::string("CLSID\\") + kControlClass + "\\InprocServer32", "",
                &text),
            platform::ERROR_SUCCESS);
  EXPECT_EQ(text, std::filesystem::canonical(target).string());

  for (const std::string id : {kControlClass, kSecondClass}) {
    SCOPED_TRACE(id);
    for (const char* category :
         {"{7DD95801-9882-11CF-9FA9-00AA006C42C4}", "{7DD95802-9882-11CF-9FA9-00AA006C42C4}"}) {
      EXPECT_TRUE(
          KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + id + "\\Implemented Categories\\" + category));
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kStats + id + "\\iexplore\\AllowedDomains\\*"));
  }
  // Zone keys that were not there are not created.
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kZones + "3"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kZones + "2"));
}

TEST_F(SetupProgramTest, ZoneValuesAreSetOnlyWhereTheZoneKeyExists) {
  platform::HKEY zone = 0;
  ASSERT_EQ(platform::RegCreateKey(HKEY_CURRENT_USER, kZones + "3", &zone),
            platform::ERROR_SUCCESS);
  platform::RegCloseKey(zone);
  platform::CloseRegistryStore();
  Ship();
  ASSERT_EQ(RunSetup().exit_code, 0);

  ASSERT_EQ(platform::RegOpenKey(HKEY_CURRENT_USER, kZones + "3", &zone), platform::ERROR_SUCCESS);
  for (const char* name : {"1208", "2201"}) {
    platform::DWORD type = 0, value = 1, size = sizeof value;
    ASSERT_EQ(platform::RegQueryValueEx(zone, name, &type, &value, &size), platform::ERROR_SUCCESS)
        << name;
    EXPECT_EQ(type, platform::REG_DWORD);
    EXPECT_EQ(value, 0u);
  }
  platform::RegCloseKey(zone);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kZones + "2"));
}

TEST_F(SetupProgramTest, SecondInstallReplacesTheFirst) {
  Ship();
  ASSERT_EQ(RunSetup().exit_code, 0);
  const std::filesystem::path target = InstallFolder() / "tarvikftp.ocx";
  std::ofstream(target, std::ios::app) << "stale tail";
  const SetupRun again = RunSetup();
  ASSERT_EQ(again.exit_code, 0) << again.boxes;
  EXPECT_EQ(again.boxes, std::string(kCompleted) + "\n");
  EXPECT_EQ(ReadHostFile(target), ReadHostFile(TARVIK_SERVER_LIBRARY));
}

TEST_F(SetupProgramTest, MissingControlFileIsReportedInTheProgramsLanguage) {
  struct Case {
    const char* program;
    const char* box;
  };
  for (const Case& c : {Case{"tarvinst", "Install ftp ocx: ActiveX not found\n"},
                        Case{"Tarvinst_CN", "安装FTP控件: 未找到安装控件\n"}}) {
    SCOPED_TRACE(c.program);
    Ship(c.program, "");
    const SetupRun run = RunSetup();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.boxes, c.box);
    EXPECT_FALSE(std::filesystem::exists(InstallFolder() / "tarvikftp.ocx"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kStats + kControlClass));
  }
}

TEST_F(SetupProgramTest, InstallFolderThatCannotBeMadeEndsTheSetup) {
  std::filesystem::create_directories(root_ / "drive_c");
  std::ofstream(root_ / "drive_c" / "Program Files") << "a file in the way";
  Ship("tarvinst_cn");
  const SetupRun run = RunSetup();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(
      run.boxes,
      "安装FTP控件: 创建目录[C:\\Program Files\\TarvikFtp]失败,请确定是否有创建目录的权限！\n");
  EXPECT_EQ(ReadHostFile(root_ / "drive_c" / "Program Files"), "a file in the way");
}

// A copy held open without delete sharing (a browser using it): the user is asked to close the
// browsers after each of the 20 attempts, then the copy fails with the permission message.
TEST_F(SetupProgramTest, LockedOldCopyIsRetriedThenReported) {
  Ship();
  ASSERT_EQ(RunSetup().exit_code, 0);
  const platform::HANDLE lock =
      platform::CreateFile("C:\\Program Files\\TarvikFtp\\tarvikftp.ocx", platform::GENERIC_READ,
                           platform::FILE_SHARE_READ, platform::OPEN_EXISTING);
  ASSERT_NE(lock, platform::INVALID_HANDLE_VALUE);
  const SetupRun run = RunSetup();
  platform::CloseHandle(lock);
  EXPECT_EQ(run.exit_code, 1);
  const std::string message =
      "70#Permission denied\r\nFailed to install the ftp ocx,please close all browser windows\n";
  EXPECT_EQ(Count(run.boxes, "Install ftp ocx: " + message), 21u) << run.boxes;
  EXPECT_EQ(ReadHostFile(InstallFolder() / "tarvikftp.ocx"), ReadHostFile(TARVIK_SERVER_LIBRARY));
}

TEST_F(SetupProgramTest, RegistryThatCannotBeWrittenIsReported) {
  std::filesystem::create_directories(root_);
  std::ofstream(root_ / "damaged.db") << std::string(4096, 'x');
  Ship();
  const SetupRun run = RunSetup("TARVIK_REGISTRY='" + (root_ / "damaged.db").string() + "'");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.boxes.find("提示: 模    块：WySystem\r\n函    数：RegKeyExists\r\n"),
            std::string::npos)
      << run.boxes;
  EXPECT_NE(run.boxes.find("错 误 号：1009\n"), std::string::npos);
  EXPECT_NE(run.boxes.find("Install ftp ocx: Access regedit error\n"), std::string::npos);
  EXPECT_EQ(ReadHostFile(root_ / "damaged.db"), std::string(4096, 'x'));
}

// A registration entry that does not return within 10 s fails the install; the browser is left
// as it was. (This case waits out the real limit.)
TEST_F(SetupProgramTest, RegistrationThatHangsFailsAfterTheLimit) {
  Ship("tarvinst", TARVIK_HANGING_LIBRARY);
  const SetupRun run = RunSetup();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.boxes, "Install ftp ocx: Failed to register the ftp ocx \n");
  EXPECT_TRUE(std::filesystem::exists(InstallFolder() / "tarvikftp.ocx"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kStats + kControlClass));
}

}  // namespace
}  // namespace tarvik::setup
