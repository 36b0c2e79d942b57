#pragma once
// The cues of one subtitle file in start order, answering which of them show
// at an instant. Cues may overlap.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/subtitles/Cue.h"

class CueList {
 public:
  CueList() = default;
  // Cues that never show (end not after start) are dropped.
  explicit CueList(std::vector<Cue> cues);

  bool Empty() const { return m_cues.empty(); }
  size_t Size() const { return m_cues.size(); }
  const Cue& operator[](size_t index) const { return m_cues[index]; }

  // The indices of the cues with start <= time < end, in start order.
  void CoveringAt(int64_t time, std::vector<size_t>& indices) const;
  // The index of the first cue that starts after time; Size() when none does.
  size_t FirstAfter(int64_t time) const;

 private:
  std::vector<Cue> m_cues;
  std::vector<int64_t> m_latestEnd;  // [i]: the latest end among cues 0..i
};
