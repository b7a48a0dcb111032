#include "local/path_rules.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

struct Case {
  const char* input;
  const char* expected;
};

TEST(PathRulesTest, FormatLocalPathKeepsTheLeadingPairOfANetworkPath) {
  const Case cases[] = {
      {"  C:/dir//sub\\\\file.txt  ", "C:\\dir\\sub\\file.txt"},
      {"\\\\server\\share\\\\dir", "\\\\server\\share\\dir"},
      {"//server/share/dir", "\\\\server\\share\\dir"},
      {"\\\\\\server\\share", "\\\\server\\share"},
      {"\\dir\\\\x", "\\dir\\x"},
      {"C:\\a|\\\\server\\s\\\\t|D:\\\\b", "C:\\a|\\\\server\\s\\t|D:\\b"},
      {"C:\\a|\\b", "C:\\a|\\b"},
      {"", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatLocalPath(c.input), c.expected) << c.input;
}

TEST(PathRulesTest, FormatFtpPathFoldsSlashesButNotAfterTheWebScheme) {
  const Case cases[] = {
      {" \\dir\\\\sub//file ", "/dir/sub/file"},
      {"//a///b", "/a/b"},
      {"http://host//dir//f.zip", "http://host/dir/f.zip"},
      {"https:\\\\host\\f", "https://host/f"},
      {"a|http://x//y", "a|http://x/y"},
      {"HTTP://host//f", "HTTP:/host/f"},  // compared with case
      {"ftp://host/f", "ftp:/host/f"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFtpPath(c.input), c.expected) << c.input;
}

TEST(PathRulesTest, GetParentPathKeepsTheSeparator) {
  const Case cases[] = {
      {"C:\\dir\\file.txt", "C:\\dir\\"},
      {"C:\\dir", "C:\\"},
      {"C:\\dir\\", "C:\\"},
      {"C:\\a\\b\\", "C:\\a\\"},
      {"C:\\", ""},
      {"dir", ""},
      {"", ""},
      {"\\dir", ""},
      {"C:\\\\a\\\\\\b", "C:\\a\\"},
      {"/a/b/c", "/a/b/"},
      {"/a/b/", "/a/"},
      {"/dir", ""},
      {"a//b", "a/"},
      {"\\\\server\\share\\dir", "\\\\server\\share\\"},
      {"\\\\server\\share", "\\\\server\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetParentPath(c.input), c.expected) << c.input;
}

TEST(PathRulesTest, GetFileNameTakesTheLastElement) {
  const Case cases[] = {
      {"C:\\dir\\file.txt", "file.txt"},
      {"C:\\dir\\sub\\", "sub"},
      {"http://host/dir/file.zip", "file.zip"},
      {"http://host/dir/", "dir"},
      {"file.txt", "file.txt"},
      {"  C:/a//b.txt ", "b.txt"},
      {"", ""},
      {"  ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileName(c.input), c.expected) << c.input;
}

TEST(PathRulesTest, GetFileNameWithoutExtWorksOnTheNameOnly) {
  const Case cases[] = {
      {"C:\\my.dir\\file", "file"},
      {"C:\\dir\\a.tar.gz", "a.tar"},
      {"C:\\dir\\report.txt", "report"},
      {"C:\\dir\\.profile", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileNameWithoutExt(c.input), c.expected) << c.input;
}

TEST(PathRulesTest, GetFileExtensionSearchesTheWholePath) {
  const Case cases[] = {
      {"C:\\my.dir\\file", "dir\\file"},
      {"C:\\dir\\a.tar.GZ", "GZ"},
      {" C:\\dir\\x.txt ", "txt"},
      {"C:\\dir\\noext", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileExtension(c.input), c.expected) << c.input;
}

TEST(PathRulesTest, AbsolutePaths) {
  for (const char* path : {"C:\\", "C:", "c:\\dir", "\\\\server\\share"})
    EXPECT_TRUE(IsAbsoluteLocalPath(path)) << path;
  for (const char* path : {"", "C", "C:dir", "dir\\x", "\\dir", "/dir"})
    EXPECT_FALSE(IsAbsoluteLocalPath(path)) << path;
}

TEST(PathRulesTest, Long2SizeReadsTheLowHalfUnsigned) {
  EXPECT_EQ(Long2Size(0, 0), 0.0);
  EXPECT_EQ(Long2Size(0, -1), 4294967295.0);
  EXPECT_EQ(Long2Size(1, 0), 4294967296.0);
  EXPECT_EQ(Long2Size(2, INT32_MIN), 2 * 4294967296.0 + 2147483648.0);
  EXPECT_EQ(Long2Size(0, 12345), 12345.0);
}

}  // namespace
}  // namespace tarvik
