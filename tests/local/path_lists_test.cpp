#include "local/path_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors/numbered_error.h"

namespace tarvik {
namespace {

std::string Joined(const std::vector<BatchItem>& items) {
  std::string text;
  for (const BatchItem& item : items)
    text += (text.empty() ? "" : "; ") + item.source + ">" + item.target;
  return text;
}

// How sources pair with targets, which items are folder work, and where folders go.
TEST(PlanBatchTest, PairsItemsAndPlacesFolders) {
  struct Row {
    const char* name;
    std::string sources, targets;
    bool create_source_folder;
    std::string folders, files;
  };
  const Row rows[] = {
      {"files into one folder", "/a.txt|/b.txt", "D:\\in\\", true, "",
       "/a.txt>D:\\in\\; /b.txt>D:\\in\\"},
      {"shorter target list uses the first item's folder", "/p/a.txt|/p/b.txt|/p/c.txt",
       "D:\\in\\x.txt", true, "", "/p/a.txt>D:\\in\\x.txt; /p/b.txt>D:\\in\\; /p/c.txt>D:\\in\\"},
      {"item by item", " /a.txt | | /b.txt ", "D:\\1.txt|D:\\2.txt", true, "",
       "/a.txt>D:\\1.txt; /b.txt>D:\\2.txt"},
      {"folder with its own name", "/pub/docs/", "D:\\save\\", true, "/pub/docs/>D:\\save\\docs\\",
       ""},
      {"folder without its own name", "/pub/docs/", "D:\\save", false, "/pub/docs/>D:\\save\\", ""},
      {"pattern never adds a folder", "/pub/*.zip/", "D:\\save\\", true, "/pub/*.zip>D:\\save\\",
       ""},
      {"root folder", "/", "D:\\all\\", true, "/>D:\\all\\", ""},
      {"upload folder", "C:\\data\\", "/up", true, "C:\\data\\>/up/data/", ""},
      {"upload past the target list from a file at the root", "C:\\a.txt|C:\\b.txt", "/a.txt", true,
       "", "C:\\a.txt>/a.txt; C:\\b.txt>/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const bool upload = row.sources.find('\\') != std::string::npos;
    const BatchSides sides = upload ? BatchSides{'\\', '/'} : BatchSides{'/', '\\'};
    const BatchPlan plan =
        PlanBatch(row.sources, row.targets, sides, row.create_source_folder, "", "");
    EXPECT_EQ(Joined(plan.folders), row.folders);
    EXPECT_EQ(Joined(plan.files), row.files);
  }
}

// A refused file type stops the plan, so nothing moves; folders are not filtered here.
TEST(PlanBatchTest, TypeFiltersRefuseBeforeAnythingMoves) {
  struct Row {
    std::string sources, allow, deny;
    long error;
  };
  const Row rows[] = {
      {"/p/a.jpg|/p/x.png", ";jpg;", "", 20021},
      {"/p/a.jpg|/p/noext", ";jpg;", "", 20021},
      {"/p/a.JPG|/p/docs/", ";jpg;", "", 0},
      {"/p/a.exe", "", ";exe;bat;", 20022},
      {"/p/noext", "", ";exe;", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.sources);
    long error = 0;
    try {
      PlanBatch(row.sources, "D:\\in\\", {'/', '\\'}, true, row.allow, row.deny);
    } catch (const NumberedError& e) {
      error = e.number();
    }
    EXPECT_EQ(error, row.error);
  }
}

TEST(IsSafeLocalNameTest, RefusesNamesThatLeaveTheTargetOrCannotBeStored) {
  for (const char* name : {"a.txt", "with blank.txt",
                           "gr\xC3\xBC\xC3\x9F"
                           "e",
                           "..a", ".hidden", "CONSOLE.txt", "com10", "lpt"}) {
    EXPECT_TRUE(IsSafeLocalName(name)) << name;
  }
  for (const char* name : {"", ".", "..", "../x", "a/b", "a\\b", "C:x", "CON", "con.txt", "Nul",
                           "COM1", "lpt9.log", "trail.", "trail ", "a|b", "a*b", "tab\tname"}) {
    EXPECT_FALSE(IsSafeLocalName(name)) << name;
  }
}

}  // namespace
}  // namespace tarvik
