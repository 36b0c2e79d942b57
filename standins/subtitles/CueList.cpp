#include "standins/subtitles/CueList.h"

#include <algorithm>

CueList::CueList(std::vector<Cue> cues) {
  std::erase_if(cues, [](const Cue& cue) { return cue.end <= cue.start; });
  std::stable_sort(cues.begin(), cues.end(),
                   [](const Cue& a, const Cue& b) { return a.start < b.start; });
  m_cues = std::move(cues);
  m_latestEnd.reserve(m_cues.size());
  int64_t latest = INT64_MIN;
  for (const Cue& cue : m_cues) {
    latest = std::max(latest, cue.end);
    m_latestEnd.push_back(latest);
  }
}

size_t CueList::FirstAfter(int64_t time) const {
  const auto after = std::upper_bound(m_cues.begin(), m_cues.end(), time,
                                      [](int64_t t, const Cue& cue) { return t < cue.start; });
  return static_cast<size_t>(after - m_cues.begin());
}

void CueList::CoveringAt(int64_t time, std::vector<size_t>& indices) const {
  indices.clear();
  // Walk back from the last cue that has started, while any earlier one may still show.
  for (size_t i = FirstAfter(time); i > 0 && m_latestEnd[i - 1] > time; --i) {
    if (m_cues[i - 1].end > time) indices.push_back(i - 1);
  }
  std::reverse(indices.begin(), indices.end());
}
