#include "standins/mux/StreamTimes.h"

#include <algorithm>
#include <limits>

#include "standins/mux/SampleEnd.h"
#include "standins/mux/StreamInfo.h"

StreamTimes::StreamTimes(const std::vector<StreamInfo>& streams)
    : m_streams(streams), m_next(streams.size(), 0) {}

int64_t StreamTimes::Arrived(size_t stream, const int64_t* start, const int64_t* stop,
                             size_t bytes) {
  const int64_t time = start ? *start : m_next[stream];
  m_next[stream] =
      start && stop && *stop > *start ? *stop : SampleEnd(m_streams[stream], time, bytes);
  m_latestEnd = std::max(m_latestEnd, m_next[stream]);
  return time;
}

// time - origin, saturated: upstream's times are not to be trusted with overflow.
int64_t StreamTimes::InFile(int64_t time) {
  if (!m_hasOrigin) m_origin = time;
  m_hasOrigin = true;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  if (m_origin < 0 && time > kMax + m_origin) return kMax;
  return time > m_origin ? time - m_origin : 0;
}
