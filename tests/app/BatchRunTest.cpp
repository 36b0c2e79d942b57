#include "app/BatchRun.h"

#include <gtest/gtest.h>

namespace {

// A failure's message comes after the video's end, as a graph's does.
TEST(BatchRun, ReportsTheVideosNotConvertedWithTheirFirstMessage) {
  BatchRun batch({"a.avi", "b.avi", "c.avi", "d.avi"}, {});
  for (bool converted : {true, false, false}) {
    ASSERT_TRUE(batch.Begin());
    batch.End(converted);
    if (!converted) batch.Notes()->push_back("no " + batch.Current());
  }
  batch.Notes()->push_back("a second message");
  batch.Cancel();
  EXPECT_FALSE(batch.Begin());
  EXPECT_EQ(batch.NotConverted(), 3);
  EXPECT_EQ(batch.Report(), "b.avi: no b.avi\nc.avi: no c.avi\nd.avi\n");
}

}  // namespace
