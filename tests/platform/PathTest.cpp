#include "platform/Path.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/TempFolder.h"

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

TEST(PathNamesSameFile, ComparesFullPathsAndFileIdentity) {
  TempFolder folder;
  const std::string dir = folder.Path() + "\\";
  folder.Write("A Long Clip Name.avi", "clip");
  folder.Write("other.avi", "other");
  const std::string clip = dir + "A Long Clip Name.avi";
  ASSERT_TRUE(CreateHardLinkA((dir + "linked.avi").c_str(), clip.c_str(), nullptr));
  char shortName[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(clip.c_str(), shortName, sizeof shortName), 0u);
  ASSERT_NE(clip, shortName);

  std::string upper = clip;
  CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  std::string slashes = clip;
  for (char& c : slashes) c = c == '\\' ? '/' : c;
  const struct {
    std::string other;
    bool same;
  } cases[] = {
      {clip, true},
      {upper, true},
      {slashes, true},
      {dir + ".\\sub\\..\\A Long Clip Name.avi", true},
      {shortName, true},
      {dir + "linked.avi", true},
      {dir + "other.avi", false},
      {dir + "missing.avi", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(path::NamesSameFile(clip.c_str(), c.other.c_str()), c.same) << c.other;
    EXPECT_EQ(path::NamesSameFile(c.other.c_str(), clip.c_str()), c.same) << c.other;
  }
}

TEST(PathFileExists, OnlyForAFileThatOpens) {
  TempFolder folder;
  folder.Write("language\\English.ini", "[STRING]");
  EXPECT_TRUE(path::FileExists((folder.Path() + "\\LANGUAGE\\ENGLISH.INI").c_str()));
  EXPECT_FALSE(path::FileExists((folder.Path() + "\\language").c_str()));
  EXPECT_FALSE(path::FileExists("Q:\\nowhere\\English.ini"));
  EXPECT_FALSE(path::FileExists(""));
}

TEST(PathModule, NamesThisExecutable) {
  EXPECT_EQ(path::ModuleBaseName(), "platform_tests");
  std::string folder = path::ModuleFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
}

}  // namespace
