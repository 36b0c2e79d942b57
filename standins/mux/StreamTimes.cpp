#include "standins/mux/StreamTimes.h"

#include <algorithm>
#include <limits>

#include "standins/mux/SampleEnd.h"
#include "standins/mux/StreamInfo.h"

StreamTimes::StreamTimes(const std::vector<StreamInfo>& streams)
    : m_streams(streams), m_state(streams.size()) {}

// Untimed samples before the first timed one follow the segment's start, as
// timed ones do.
void StreamTimes::Segment(size_t stream, int64_t start) {
  Stream& state = m_state[stream];
  state.segment = start;
  if (!state.started) state.next = start;
}

int64_t StreamTimes::Arrived(size_t stream, const int64_t* start, const int64_t* stop,
                             size_t bytes) {
  Stream& state = m_state[stream];
  const int64_t time = start ? *start : state.next;
  state.next = start && stop && *stop > *start ? *stop : SampleEnd(m_streams[stream], time, bytes);
  if (!state.started) state.first = time;
  state.started = true;
  return time;
}

void StreamTimes::Ended(size_t stream) { m_state[stream].ended = true; }

// The file's 0, fixed when its first sample (at time) is written: every
// stream's first sample is still waiting then, or yet to come.
int64_t StreamTimes::EarliestStart(int64_t time) const {
  int64_t earliest = time;
  for (const Stream& state : m_state) {
    if (state.started) earliest = std::min(earliest, state.first);
    else if (!state.ended) earliest = std::min(earliest, state.segment);
  }
  return earliest;
}

// time - origin, saturated: upstream's times are not to be trusted with overflow.
int64_t StreamTimes::InFile(int64_t time) {
  if (!m_hasOrigin) m_origin = EarliestStart(time);
  m_hasOrigin = true;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  if (m_origin < 0 && time > kMax + m_origin) return kMax;
  return time > m_origin ? time - m_origin : 0;
}
