#include "standins/mux/Interleaver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
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
// second) that came with the time 40 ms ("v40-100": and the stop time 100 ms),
// "a10" an audio one (stream 1, 4 bytes
// a millisecond), "v" and "a" samples that came without a time, "V" and "A" end
// a stream, "S500" starts both streams' segments at 500 ms, "f0" makes the
// video's frame duration unknown. Every sample is 4 bytes. After each step every sample that may
// leave does; the queues are bounded at boundBytes or boundSpanMs.
ScriptRun RunScript(const std::vector<std::string>& steps, uint64_t boundBytes = kNoBytesBound,
                    int64_t boundSpanMs = kNoSpanBound / k100nsPerMs) {
  std::vector<StreamInfo> streams = {test_streams::Video(0, 64, 48, 24, 400000),
                                     test_streams::Pcm(2000, 1, 16)};
  Interleaver interleaver(2, boundBytes, boundSpanMs * k100nsPerMs);
  StreamTimes times(streams);
  ScriptRun run;
  for (const std::string& step : steps) {
    const size_t stream = (step[0] == 'v' || step[0] == 'V') ? 0 : 1;
    if (step[0] == 'V' || step[0] == 'A') {
      interleaver.End(stream);
      times.Ended(stream);
    } else if (step[0] == 'S') {
      for (size_t s : {0, 1}) times.Segment(s, std::stoll(step.substr(1)) * k100nsPerMs);
    } else if (step[0] == 'f') {
      streams[0].frameDuration = 0;
    } else {
      const size_t dash = step.find('-', 2);
      const int64_t start = step.size() > 1 ? std::stoll(step.substr(1)) * k100nsPerMs : 0;
      const int64_t stop =
          dash != std::string::npos ? std::stoll(step.substr(dash + 1)) * k100nsPerMs : 0;
      const int64_t time = times.Arrived(stream, step.size() > 1 ? &start : nullptr,
                                         dash != std::string::npos ? &stop : nullptr, 4);
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
      {{"v0-100", "v", "a300-301", "a", "A", "V"}, "v0 v100 a300 a301"},  // where upstream stopped
      {{"S1000", "v", "v", "a1000", "A", "V"}, "v0 a0 v40"},  // from the segment's start
      {{"f0", "v", "v", "v", "A", "V"}, "v0 v40 v80"},        // 25 frames a second
      // A wild time, 50 days on, and back: the stream goes on where it was.
      {{"v0", "v40", "v4320000000", "v4320000040", "v120", "A", "V"}, "v0 v40 v80 v120 v160"},
      // Before the file's start: at its start.
      {{"v100", "a100", "v60", "A", "V"}, "v0 v0 a0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Interleave(c.steps), c.order) << ::testing::PrintToString(c.steps);
}

// A queue at its bound lets its oldest samples out, out of time order, so that
// no producer waits for another stream; the file's 0 stays the earliest
// stream's start, that of a stream yet to come taken to be its segment's.
TEST(Interleaver, AQueueAtItsBoundLetsItsOldestSamplesOutAndKeepsTheOffsets) {
  const struct {
    const char* name;
    uint64_t boundBytes;
    int64_t boundSpanMs;
    std::vector<std::string> steps;
    const char* order;
  } cases[] = {
      {"so many bytes", 10, kNoSpanBound / k100nsPerMs, {"v0", "v40", "v80"}, "v0"},
      {"one sample at the bytes", 4, kNoSpanBound / k100nsPerMs, {"a0", "v10"}, "a0 v10"},
      {"so long a time", kNoBytesBound, 100, {"a0", "a50", "a99", "a100"}, "a0"},
      {"untimed samples follow on", kNoBytesBound, 100, {"v0", "v", "v"}, ""},
      {"untimed samples reach the span", kNoBytesBound, 80, {"v0", "v", "v"}, "v0"},
      {"the other stream catches up", kNoBytesBound, 100, {"a0", "a50", "a100", "v60"},
       "a0 a50 v60"},
      {"the other stream ends early", kNoBytesBound, 100, {"v0", "a0", "v40", "v80", "v140", "A"},
       "v0 a0 v40 v80 v140"},
      {"the other stream ends before it starts", 8, kNoSpanBound / k100nsPerMs,
       {"v0", "v40", "A"}, "v0 v40"},
      {"times near the end of their range", kNoBytesBound, 100,
       {"a-922337203685477", "a-922337203685377"}, "a0"},
      {"a stream yet to come keeps its offset", kNoBytesBound, 100,
       {"v1000", "v1050", "v1100", "a0", "A"}, "v1000 a0 v1050 v1100"},
      {"a stream that ended empty sets no start", kNoBytesBound, 100,
       {"A", "v1000", "v1050", "v1100", "V"}, "v0 v50 v100"},
  };
  for (const auto& c : cases) {
    const ScriptRun run = RunScript(c.steps, c.boundBytes, c.boundSpanMs);
    EXPECT_EQ(run.order, c.order) << c.name;
    EXPECT_EQ(run.full.find_first_not_of("- "), std::string::npos) << c.name << ": " << run.full;
  }
}

struct Delivery {
  size_t stream;  // 0 video, 1 sound
  int64_t time;   // 100 ns units
  size_t bytes;
};

// A file's samples in the order a reader meets them: seconds of 25 frames a
// second of frameBytes each, and sound of 176,400 bytes a second in blocks of
// blockSeconds, each lying lateSeconds after the picture of its time, or all
// after the picture (lateSeconds < 0).
std::vector<Delivery> FileOrder(int seconds, size_t frameBytes, double blockSeconds,
                                double lateSeconds) {
  constexpr int64_t kFrame = 400000, kSecond = 10000000;
  const int64_t block = int64_t(blockSeconds * kSecond), late = int64_t(lateSeconds * kSecond);
  const size_t blockBytes = size_t(blockSeconds * 176400);
  std::vector<Delivery> order;
  int64_t sound = 0;
  for (int64_t frame = 0; frame < seconds * kSecond; frame += kFrame) {
    for (; late >= 0 && sound < seconds * kSecond && sound + late <= frame; sound += block)
      order.push_back({1, sound, blockBytes});
    order.push_back({0, frame, frameBytes});
  }
  for (; sound < seconds * kSecond; sound += block) order.push_back({1, sound, blockBytes});
  return order;
}

// One thread reads the source and feeds both streams, as a splitter that
// pushes from one thread does. Like the multiplexer's input before it, it
// would wait while its stream's queue stays full once what may leave has
// left: with no other thread to empty it, for ever, until the test lets it go.
TEST(Interleaver, OneThreadFeedingEveryStreamNeverWaitsAndMemoryStaysBounded) {
  constexpr uint64_t kBoundBytes = 4u << 20;
  constexpr int64_t kBoundSpan = 10000000;  // the multiplexer's bounds
  const struct {
    const char* name;
    std::vector<Delivery> source;
  } cases[] = {
      {"sound in 5 s chunks", FileOrder(10, 4, 5, 0)},
      {"sound 3 s late", FileOrder(10, 4, 0.1, 3)},
      {"all sound at the end", FileOrder(10, 4, 0.1, -1)},
      {"720p RGB24", FileOrder(4, 1280 * 720 * 3, 0.5, 0)},
  };
  const std::vector<uint8_t> buffer(1280 * 720 * 3);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::mutex lock;
    std::condition_variable woken;
    bool abandoned = false;
    std::vector<std::vector<int64_t>> written(2);
    uint64_t queued = 0, mostQueued = 0;
    auto reader = std::async(std::launch::async, [&] {
      Interleaver interleaver(2, kBoundBytes, kBoundSpan);
      std::unique_lock<std::mutex> held(lock);
      for (const Delivery& d : c.source) {
        interleaver.Push({d.stream, d.time, {}, true, buffer.data(), d.bytes});
        mostQueued = std::max(mostQueued, queued += d.bytes);
        for (QueuedSample out; interleaver.Pop(out); queued -= out.Size())
          written[out.stream].push_back(out.time);
        while (interleaver.Full(d.stream) && !abandoned) woken.wait(held);
      }
      interleaver.End(0);
      interleaver.End(1);
      for (QueuedSample out; interleaver.Pop(out);) written[out.stream].push_back(out.time);
    });
    if (reader.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      ADD_FAILURE() << "the reading thread waits for a stream only it can feed";
      std::lock_guard<std::mutex> held(lock);
      abandoned = true;
      woken.notify_all();
    }
    reader.get();
    std::vector<std::vector<int64_t>> sent(2);
    for (const Delivery& d : c.source) sent[d.stream].push_back(d.time);
    EXPECT_EQ(written, sent) << "every sample, each stream in its order";
    EXPECT_LE(mostQueued, kBoundBytes + buffer.size());
  }
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
      {"the writers' own: 2 s, 64 MiB, a 32nd", {},
       {{0, 1030}, {0, 1031}, {2 * kS - 1, 1040}, {2 * kS, 1050}, {2 * kS, 4ull << 30},
        {2 * kS, (4ull << 30) + (64 << 20) - 1}, {2 * kS, (4ull << 30) + (64 << 20)}},
       ".+.++.+"},
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
