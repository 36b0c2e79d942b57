#include "standins/mux/StreamTimes.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "standins/mux/SampleEnd.h"
#include "standins/mux/StreamInfo.h"

namespace {

// A jump of a stream's times further than this is a fault of the times, not
// a gap: an hour, in 100 ns units.
constexpr double kMaxJump = 36000000000.0;

}  // namespace

StreamTimes::StreamTimes(const std::vector<StreamInfo>& streams)
    : m_streams(streams), m_state(streams.size()) {}

// Untimed samples before the first timed one follow the segment's start, as
// timed ones do.
void StreamTimes::Segment(size_t stream, int64_t start) {
  Stream& state = m_state[stream];
  state.segment = start;
  if (!state.started) state.next = start;
}

// A timed sample that jumps too far from where its stream was goes on from
// there instead, and so do the stream's later times.
int64_t StreamTimes::Arrived(size_t stream, const int64_t* start, const int64_t* stop,
                             size_t bytes) {
  Stream& state = m_state[stream];
  int64_t time = start ? TimePlus(*start, state.shift) : state.next;
  if (start && state.started &&
      std::abs(static_cast<double>(time) - static_cast<double>(state.next)) > kMaxJump) {
    state.shift =
        TimePlus(state.shift, TimePlus(state.next, time == INT64_MIN ? INT64_MAX : -time));
    time = state.next;
  }
  const bool stopped = start && stop && *stop > *start;
  state.next = stopped ? TimePlus(*stop, state.shift) : SampleEnd(m_streams[stream], time, bytes);
  if (!state.started) state.first = time;
  state.started = true;
  m_latestEnd = std::max(m_latestEnd, state.next);
  return time;
}

void StreamTimes::Ended(size_t stream) { m_state[stream].ended = true; }

// The file's 0, fixed when its first sample (at time) is written: every
// stream's first sample is still waiting then, or yet to come.
int64_t StreamTimes::EarliestStart(int64_t time) const {
  int64_t earliest = time;
  for (const Stream& state : m_state) {
    if (state.started)
      earliest = std::min(earliest, state.first);
    else if (!state.ended)
      earliest = std::min(earliest, state.segment);
  }
  return earliest;
}

// time - origin, saturated.
int64_t StreamTimes::InFile(int64_t time) {
  if (!m_hasOrigin) m_origin = EarliestStart(time);
  m_hasOrigin = true;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  if (m_origin < 0 && time > kMax + m_origin) return kMax;
  return time > m_origin ? time - m_origin : 0;
}
