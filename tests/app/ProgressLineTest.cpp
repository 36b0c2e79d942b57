#include "app/ProgressLine.h"

#include <gtest/gtest.h>

#include "app/BatchRun.h"

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
      {3725, 30 * kSecond, 60 * kSecond,
       "Please wait... Used Time: 01:02:05   50%   01:02:05 left"},
      {1, 0, 60 * kSecond, "Please wait... Used Time: 00:00:01   0%"},
      {5, 70 * kSecond, 60 * kSecond, "Please wait... Used Time: 00:00:05   100%   00:00:00 left"},
      {3600, 1, 36000 * kSecond, "Please wait... Used Time: 01:00:00   0%   999:00:00 left"},
      {7, 30 * kSecond, 0, "Please wait... Used Time: 00:00:07"},
      {7, -1, 60 * kSecond, "Please wait... Used Time: 00:00:07"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressLine(c.elapsed, c.position, c.duration), c.line);
}

// The third video's message comes after its end, as a graph's failure
// message does; the fourth is never begun.
TEST(BatchRun, CountsAndReportsTheVideosNotConverted) {
  BatchRun batch({"a.avi", "b.avi", "c.avi", "d.avi"}, {});
  ASSERT_TRUE(batch.Begin());
  batch.End(true);
  ASSERT_TRUE(batch.Begin());
  batch.Notes()->push_back("Cannot open the file.");
  batch.Notes()->push_back("Can not get the duration of the clip!");
  batch.End(false);
  ASSERT_TRUE(batch.Begin());
  EXPECT_EQ(batch.Current(), "c.avi");
  EXPECT_EQ(batch.NotConverted(), 3) << "b failed, c runs, d waits";
  batch.End(false);
  batch.Notes()->push_back("Disk full");
  batch.Cancel();
  EXPECT_FALSE(batch.Begin());
  EXPECT_EQ(batch.NotConverted(), 3);
  EXPECT_EQ(batch.Report(), "b.avi: Cannot open the file.\nc.avi: Disk full\nd.avi\n");
}

}  // namespace
