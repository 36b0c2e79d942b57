#include "app/ProgressLine.h"

#include <gtest/gtest.h>

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

}  // namespace
