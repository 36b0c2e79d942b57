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

constexpr uint64_t kNoBytesBound = 1 << 20;
constexpr int64_t kNoSpanBound = INT64_MAX;

struct ScriptRun {
  std::string order;  // the samples as they left, with their times in the file
  std::string full;   // after each step, the full queues: "v", "a", "va" or "-"
};

// A script of steps: "v40" pushes a video sample (stream 0, 25 frames per
// second) that came with the time 40 ms, "a10" an audio one (stream 1, 4 bytes
// a millisecond), "v" and "a" samples that came without a time, "V" and "A" end
// a stream. Every sample is 4 bytes. After each step every sample that may
// leave does; the queues are bounded at boundBytes or boundSpanMs.
ScriptRun RunScript(const std::vector<std::string>& steps, uint64_t boundBytes = kNoBytesBound,
                    int64_t boundSpanMs = kNoSpanBound / k100nsPerMs) {
  const std::vector<StreamInfo> streams = {test_streams::Video(0, 64, 48, 24, 400000),
                                           test_streams::Pcm(2000, 1, 16)};
  Interleaver interleaver(2, boundBytes, boundSpanMs * k100nsPerMs);
  StreamTimes times(streams);
  ScriptRun run;
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
      run.order += (run.order.empty() ? "" : " ") + std::string(sample.stream ? "a" : "v") +
                   std::to_string(times.InFile(sample.time) / k100nsPerMs);
    const std::string full = std::string(interleaver.Full(0) ? "v" : "") +
                             (interleaver.Full(1) ? "a" : "");
    run.full += (run.full.empty() ? "" : " ") + (full.empty() ? "-" : full);
  }
  return run;
}

std::string Interleave(const std::vector<std::string>& steps) { return RunScript(steps).order; }

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

// A full queue holds its producer back, so it must empty once the other
// streams catch up or end, whichever way the streams interleave.
TEST(Interleaver, AStreamAheadIsFullAtItsBoundUntilTheOthersCatchUpOrEnd) {
  const struct {
    const char* name;
    uint64_t boundBytes;
    int64_t boundSpanMs;
    std::vector<std::string> steps;
    const char* full;
  } cases[] = {
      {"so many bytes", 10, kNoSpanBound / k100nsPerMs, {"v0", "v40", "v80"}, "- - v"},
      {"one sample at the bytes", 4, kNoSpanBound / k100nsPerMs, {"a0", "v10"}, "a v"},
      {"so long a time", kNoBytesBound, 100, {"a0", "a50", "a99", "a100"}, "- - - a"},
      {"untimed samples follow on", kNoBytesBound, 100, {"v0", "v", "v"}, "- - -"},
      {"untimed samples reach the span", kNoBytesBound, 80, {"v0", "v", "v"}, "- - v"},
      {"the other stream catches up", kNoBytesBound, 100, {"a0", "a50", "a100", "v60"}, "- - a -"},
      {"the other stream ends early", kNoBytesBound, 100, {"v0", "a0", "v40", "v80", "v140", "A"},
       "- - - - v -"},
      {"the other stream ends before it starts", 8, kNoSpanBound / k100nsPerMs,
       {"v0", "v40", "A"}, "- v -"},
      {"times at the ends of their range", kNoBytesBound, 100,
       {"a-922337203685477", "a922337203685477"}, "- a"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RunScript(c.steps, c.boundBytes, c.boundSpanMs).full, c.full) << c.name;
}

// Borrowed bytes stay the producer's: a sample that leaves at once is handed
// out as it came, and one that waits is copied by Keep before the producer
// writes its buffer again.
TEST(Interleaver, BorrowedSamplesLeaveUncopiedOrAreKeptBeforeTheProducerReusesTheBuffer) {
  Interleaver interleaver(2, kNoBytesBound, kNoSpanBound);
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
  Interleaver interleaver(2, kNoBytesBound, kNoSpanBound);
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
