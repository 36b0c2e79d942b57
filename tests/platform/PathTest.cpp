#include "platform/Path.h"

#include <gtest/gtest.h>

namespace {

TEST(PathSeparators, FindTheLastOne) {
  struct Case {
    const char* path;
    int lastBackslash;  // index, -1 for none
    int lastSeparator;
  };
  const Case cases[] = {
      {"c:\\video\\film.avi", 8, 8},
      {"c:/video/film.avi", -1, 8},
      {"c:\\video/film.avi", 2, 8},
      {"film.avi", -1, -1},
      {"", -1, -1},
      {"c:\\", 2, 2},
  };
  for (const Case& c : cases) {
    const char* b = path::LastBackslash(c.path);
    const char* s = path::LastSeparator(c.path);
    EXPECT_EQ(b ? static_cast<int>(b - c.path) : -1, c.lastBackslash) << c.path;
    EXPECT_EQ(s ? static_cast<int>(s - c.path) : -1, c.lastSeparator) << c.path;
  }
}

TEST(PathFolderOf, KeepsTheTrailingBackslash) {
  EXPECT_EQ(path::FolderOf("c:\\clips\\clip.avi"), "c:\\clips\\");
  EXPECT_EQ(path::FolderOf("c:\\clip.avi"), "c:\\");
  EXPECT_EQ(path::FolderOf("clip.avi"), "");
  EXPECT_EQ(path::FolderOf(""), "");
}

TEST(PathModule, NamesThisExecutable) {
  EXPECT_EQ(path::ModuleBaseName(), "platform_tests");
  std::string folder = path::ModuleFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
}

}  // namespace
