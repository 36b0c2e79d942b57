#include "app/SourceLine.h"

#include <gtest/gtest.h>

#include "platform/Path.h"

namespace {

TEST(SourceLineText, ShowsWholeSecondsAsHoursMinutesAndSeconds) {
  struct Case {
    const char* path;
    int64_t duration;  // 100 ns units
    const char* expected;
  };
  const Case cases[] = {
      {"c:\\films\\movie.avi", 37239000000, "movie.avi: 01:02:03"},  // 1 h 2 min 3.9 s
      {"c:\\films\\short.avi", 599000000, "short.avi: 00:00:59"},    // 59.9 s
      {"d:\\clip.mkv", 37250000000, "clip.mkv: 01:02:05"},           // 3725 s
      {"clip.avi", 20000000, "clip.avi: 00:00:02"},
      {"c:\\empty.avi", 0, "empty.avi: 00:00:00"},
      {"c:\\long.avi", 3600000000000, "long.avi: 100:00:00"},  // 100 h
  };
  for (const Case& c : cases) EXPECT_EQ(SourceLineText(c.path, c.duration), c.expected);
}

TEST(FileNameOf, KeepsNameAndExtensionAfterDriveAndFolders) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"c:\\videos\\clip.avi", "clip.avi"},
      {"c:/videos/clip.avi", "clip.avi"},
      {"c:clip.avi", "clip.avi"},
      {"\\\\server\\share\\talk.wmv", "talk.wmv"},
      {"clip", "clip"},
      {"c:\\videos\\", ""},
      {"c:", ""},
      {"", ""},
      {"c:\\my.videos\\clip.final.avi", "clip.final.avi"},
  };
  for (const Case& c : cases) EXPECT_EQ(path::FileNameOf(c.path), c.expected) << c.path;
  EXPECT_EQ(path::FileNameOf(nullptr), "");
}

}  // namespace
