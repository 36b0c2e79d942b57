#include "standins/mux/Interleaver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "standins/mux/HeaderRefresh.h"
#include "standins/mux/StreamTimes.h"
#include "support/TestStreams.h"

namespace {

constexpr int64_t k100nsPerMs = 10000;

// A script of steps: "v40" pushes a video sample (stream 0, 25 frames per
// second) that came with the time 40 ms, "a10" an audio one (stream 1, 4 bytes
// a millisecond), "v" and "a" samples that came without a time, "V" and "A" end
// a stream. After each step every sample that may leave does; the result lists
// them in that order, with the times they get in the file.
std::string Interleave(const std::vector<std::string>& steps) {
  const std::vector<StreamInfo> streams = {test_streams::Video(0, 64, 48, 24, 400000),
                                           test_streams::Pcm(2000, 1, 16)};
  Interleaver interleaver(2, 1 << 20);
  StreamTimes times(streams);
  std::string out;
  for (const std::string& step : steps) {
    const size_t stream = (step[0] == 'v' || step[0] == 'V') ? 0 : 1;
    if (step[0] == 'V' || step[0] == 'A') {
      interleaver.End(stream);
    } else {
      const int64_t start = step.size() > 1 ? std::stoll(step.substr(1)) * k100nsPerMs : 0;
      const int64_t time = times.Arrived(stream, step.size() > 1 ? &start : nullptr, nullptr, 4);
      interleaver.Push({stream, time, std::vector<uint8_t>(4), true});
    }
    QueuedSample sample;
    while (interleaver.Pop(sample))
      out += (out.empty() ? "" : " ") + std::string(sample.stream ? "a" : "v") +
             std::to_string(times.InFile(sample.time) / k100nsPerMs);
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
      // The file starts with the earliest stream; the others keep their offset.
      {{"v500", "v540", "a520", "a560", "V", "A"}, "v0 a20 v40 a60"},
      {{"a1000", "v1500", "A", "V"}, "a0 v500"},
      // Without a time: where the stream's last sample ended.
      {{"v0", "v", "v", "a30", "a", "A", "V"}, "v0 a30 a31 v40 v80"},
      {{"v", "a", "a", "A", "V"}, "v0 a0 a1"},
      // Before the file's start: at its start.
      {{"v100", "a100", "v60", "A", "V"}, "v0 v0 a0"},
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

// Each sample's time and the bytes written after it; '+' where the headers
// are due (and then brought up to date), '.' where not. The file starts with
// 1,000 bytes of headers, described at Start.
TEST(HeaderRefresh, ComesAfterASpanOfOutputOrSoMuchGrowth) {
  constexpr int64_t kS = 10000000;  // 100 ns units
  constexpr int64_t kNever = INT64_MAX;
  const struct {
    const char* name;
    HeaderRefresh::Limits limits;
    std::vector<std::pair<int64_t, uint64_t>> samples;
    const char* due;
  } cases[] = {
      {"a span of the latest time", {2 * kS, ~0ull, 0},
       {{0, 1100}, {2 * kS - 1, 1200}, {2 * kS, 1300}, {kS, 1400}, {4 * kS - 1, 1500}, {4 * kS, 1600}},
       "..+..+"},
      {"never without new bytes", {0, ~0ull, 0}, {{0, 1100}, {kS, 1100}, {kS, 1101}}, "+.+"},
      {"so many bytes", {kNever, 500, 0}, {{0, 1499}, {0, 1500}, {0, 1999}, {0, 2000}}, ".+.+"},
      {"a share of the size last described", {kNever, ~0ull, 4},
       {{0, 1249}, {0, 1250}, {0, 1561}, {0, 1562}}, ".+.+"},
      {"the share, at most so many bytes", {kNever, 300, 2}, {{0, 1299}, {0, 1300}}, ".+"},
  };
  for (const auto& c : cases) {
    HeaderRefresh refresh(c.limits);
    refresh.Done(1000);
    std::string due;
    for (const auto& [time, end] : c.samples) {
      due += refresh.Due(time, end) ? '+' : '.';
      if (due.back() == '+') refresh.Done(end);
    }
    EXPECT_EQ(due, c.due) << c.name;
  }
}

}  // namespace
