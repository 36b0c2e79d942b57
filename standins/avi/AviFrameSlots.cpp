#include "standins/avi/AviFrameSlots.h"

#include <algorithm>
#include <cmath>

namespace {

// The declared rate stands while the frames come within this share of it.
constexpr int64_t kDeclaredShare = 50;
// Intervals within this share above the shortest are one steady interval.
constexpr int64_t kSteadyShare = 8;
// A longer interval is a jump in the times, not a frame's.
constexpr int64_t kLongestInterval = 100000000;  // 100 ns units: 10 s
// The common rates' frame durations (100 ns units), which a measured one
// within this share is taken to be.
constexpr int64_t kCommonShare = 2000;
constexpr int64_t kCommonDurations[] = {417083, 416667, 400000, 333667, 333333, 208333,
                                        200000, 166833, 166667, 666667, 800000, 1000000};

int64_t Common(int64_t measured) {
  for (int64_t common : kCommonDurations)
    if (std::abs(common - measured) <= measured / kCommonShare) return common;
  return measured;
}

}  // namespace

// The shortest interval that comes at least twice (within kSteadyShare), or
// the only one there is, averaged over the intervals near it; else the
// declared one, else the shortest.
int64_t AviFrameSlots::ChooseDuration(const std::vector<int64_t>& times, int64_t declared) {
  std::vector<int64_t> intervals;
  for (size_t i = 1; i < times.size(); ++i) {
    const double interval = static_cast<double>(times[i]) - static_cast<double>(times[i - 1]);
    if (interval > 0 && interval <= kLongestInterval) intervals.push_back(times[i] - times[i - 1]);
  }
  std::sort(intervals.begin(), intervals.end());
  for (size_t i = 0; i < intervals.size(); ++i) {
    const int64_t top = intervals[i] + intervals[i] / kSteadyShare;
    int64_t sum = 0, count = 0;
    for (size_t j = i; j < intervals.size() && intervals[j] <= top; ++j, ++count)
      sum += intervals[j];
    if (count < 2 && intervals.size() > 1) continue;
    const int64_t steady = Common(sum / count);
    const bool declaredHolds =
        declared > 0 && std::abs(declared - steady) <= steady / kDeclaredShare;
    return declaredHolds ? declared : steady;
  }
  return declared > 0 || intervals.empty() ? declared : intervals.front();
}

double AviFrameSlots::SlotOf(int64_t time) const {
  return static_cast<double>(m_baseSlot) +
         (static_cast<double>(time) - static_cast<double>(m_baseTime)) /
             static_cast<double>(m_duration);
}

AviFrameSlots::Placement AviFrameSlots::Place(int64_t time, uint64_t next, bool droppable) {
  if (!m_based) {
    // The first frame: its slot from the file's 0, or the first one where it lies absurdly far.
    const double first = static_cast<double>(time > 0 ? time : 0) / static_cast<double>(m_duration);
    m_baseSlot = first < kMaxDroppedFrames ? static_cast<uint64_t>(std::llround(first)) : 0;
    m_baseTime = time;
    m_based = true;
  }
  const double exact = SlotOf(time);
  const double ahead = exact - static_cast<double>(next);
  if (ahead > kMaxDroppedFrames || -ahead > kMaxDroppedFrames) {
    m_baseTime = time;
    m_baseSlot = next;
    return {};
  }
  const double slot = std::max(0.0, std::round(exact));
  if (slot > static_cast<double>(next)) return {static_cast<uint64_t>(slot) - next, false};
  // Taken: into the next free slot, unless that plays it more than a frame late.
  return {0, droppable && slot < static_cast<double>(next) && -ahead > 1.0};
}
