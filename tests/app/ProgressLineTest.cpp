#include "app/ProgressLine.h"

#include <gtest/gtest.h>

#include "i18n/Localization.h"
#include "res/resource.h"

namespace {

constexpr int64_t kSecond = 10000000;  // 100 ns units

TEST(ProgressLine, AddsThePercentageAndTheTimeLeftOnceKnown) {
  const struct {
    int elapsed;
    int64_t position;
    int64_t duration;
    const char* line;
  } cases[] = {
      {12, 375 * kSecond / 10, 100 * kSecond,
       "Please wait... Used Time: 00:00:12   37%   00:00:20 left"},
      {1, 0, 60 * kSecond, "Please wait... Used Time: 00:00:01   0%"},
      {3600, 1, 36000 * kSecond, "Please wait... Used Time: 01:00:00   0%   999:00:00 left"},
      {7, 30 * kSecond, 0, "Please wait... Used Time: 00:00:07"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressLine(c.elapsed, c.position, c.duration), c.line);
}

TEST(ShortOutputNote, TellsHowFarAnOutputThatEndsEarlyReaches) {
  const std::string text = BuiltInString(IDS_MESSAGE_OUTPUT_ENDS_EARLY) + "\n";
  constexpr int64_t kFrame = kSecond / 25;
  const struct {
    int64_t position, start, duration, frame;
    std::string note;
  } cases[] = {
      {24 * kSecond / 10, 0, 294 * kSecond / 100, kFrame, text + "00:00:02.4 / 00:00:02.9"},
      {3540 * kSecond, 0, 3601 * kSecond, kFrame, text + "00:59:00.0 / 01:00:01.0"},
      {3590 * kSecond, 0, 3601 * kSecond, kFrame, ""},       // 0.5% of the length
      {296 * kSecond / 100, 0, 3 * kSecond, kFrame, ""},     // the last frame's start
      {35 * kSecond / 10, 0, 4 * kSecond, kSecond / 2, ""},  // ... at 2 frames per second
      {-1, 0, 3 * kSecond, kFrame, ""},
      {0, -1, 3 * kSecond, kFrame, ""},             // a position never told
      {kSecond, kSecond, 3 * kSecond, kFrame, ""},  // ... or never moved
      {2 * kSecond, 0, 0, kFrame, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShortOutputNote(c.position, c.start, c.duration, c.frame), c.note) << c.position;
}

}  // namespace
