#include "standins/mux/Interleaver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A script of steps: "v40" pushes a video sample (stream 0) at time 40, "a10"
// an audio one (stream 1), "V" and "A" end a stream. After each step every
// sample that may leave does; the result lists them in that order.
std::string Interleave(const std::vector<std::string>& steps) {
  Interleaver interleaver(2, 1 << 20);
  std::string out;
  for (const std::string& step : steps) {
    const size_t stream = (step[0] == 'v' || step[0] == 'V') ? 0 : 1;
    if (step.size() == 1) {
      interleaver.End(stream);
    } else {
      interleaver.Push({stream, std::stoll(step.substr(1)), std::vector<uint8_t>(4), true});
    }
    QueuedSample sample;
    while (interleaver.Pop(sample))
      out += (out.empty() ? "" : " ") + std::string(sample.stream ? "a" : "v") +
             std::to_string(sample.time);
  }
  return out;
}

TEST(Interleaver, ReleasesSamplesInTimeOrderOnceEveryOpenStreamHasOne) {
  const struct {
    std::vector<std::string> steps;
    const char* order;
  } cases[] = {
      {{"v0", "v40", "v80"}, ""},
      {{"v0", "v40", "a10"}, "v0 a10"},
      {{"a0", "a20", "a40", "v30"}, "a0 a20 v30"},
      {{"v0", "v40", "A"}, "v0 v40"},
      {{"A", "v0", "v40"}, "v0 v40"},
      {{"v0", "a0"}, "v0"},                   // equal times: the lower stream first
      {{"v80", "a0", "a20", "V"}, "a0 a20"},  // the open stream may still come first
      {{"v80", "a0", "a20", "V", "A"}, "a0 a20 v80"},
      {{"a0", "a20", "A", "v10", "V"}, "a0 v10 a20"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Interleave(c.steps), c.order) << ::testing::PrintToString(c.steps);
}

TEST(Interleaver, AStreamAheadIsFullAtItsBoundUntilASampleLeaves) {
  Interleaver interleaver(2, 10);
  for (int64_t time : {0, 40, 80}) {
    EXPECT_FALSE(interleaver.Full(0)) << time;
    interleaver.Push({0, time, std::vector<uint8_t>(4), true});
  }
  EXPECT_TRUE(interleaver.Full(0));
  EXPECT_FALSE(interleaver.Full(1));
  interleaver.Push({1, 50, std::vector<uint8_t>(4), true});
  QueuedSample sample;
  ASSERT_TRUE(interleaver.Pop(sample));
  EXPECT_FALSE(interleaver.Full(0));
}

// Borrowed bytes stay the producer's: a sample that leaves at once is handed
// out as it came, and one that waits is copied by Keep before the producer
// writes its buffer again.
TEST(Interleaver, BorrowedSamplesLeaveUncopiedOrAreKeptBeforeTheProducerReusesTheBuffer) {
  Interleaver interleaver(2, 1 << 20);
  std::vector<uint8_t> producer = {1, 2, 3};
  interleaver.Push({1, 10, {}, true, producer.data(), producer.size()});  // audio ahead
  interleaver.Keep();
  producer.assign({4, 5, 6});
  interleaver.Push({0, 0, {}, true, producer.data(), producer.size()});

  QueuedSample video, audio;
  ASSERT_TRUE(interleaver.Pop(video));
  EXPECT_EQ(video.Bytes(), producer.data()) << "the sample that leaves at once is not copied";
  interleaver.Keep();
  producer.assign({7, 8, 9});
  interleaver.End(0);
  ASSERT_TRUE(interleaver.Pop(audio));
  EXPECT_EQ(std::vector<uint8_t>(audio.Bytes(), audio.Bytes() + audio.Size()),
            (std::vector<uint8_t>{1, 2, 3}));
}

TEST(Interleaver, KeepCopiesIntoRecycledBuffers) {
  Interleaver interleaver(2, 1 << 20);
  std::vector<uint8_t> written(64);
  const uint8_t* storage = written.data();
  interleaver.Recycle(std::move(written));
  const std::vector<uint8_t> producer(48, 7);
  interleaver.Push({0, 0, {}, true, producer.data(), producer.size()});
  interleaver.Keep();
  interleaver.End(1);
  QueuedSample kept;
  ASSERT_TRUE(interleaver.Pop(kept));
  EXPECT_EQ(kept.borrowed, nullptr);
  EXPECT_EQ(kept.data.data(), storage);
  EXPECT_EQ(kept.data, producer);
}

}  // namespace
