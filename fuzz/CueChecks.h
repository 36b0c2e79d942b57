#pragma once
// What the subtitle readers promise about the cues they give, checked on
// every fuzz input: a broken promise aborts, and libFuzzer keeps the input.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "standins/subtitles/CueLayout.h"
#include "standins/subtitles/CueList.h"
#include "standins/subtitles/CuePlacer.h"
#include "standins/subtitles/TextDecoding.h"
#include "standins/subtitles/TextMeasurer.h"

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// 8 pixels a byte: lines wrap often, and a break inside a character would show.
class ByteMeasurer : public TextMeasurer {
 public:
  int Width(std::string_view text, const TextStyle&) const override {
    return 8 * static_cast<int>(text.size());
  }
};

inline void RequireDrawableText(std::string_view text) {
  Require(!text.empty() && IsValidUtf8(text));
  for (char c : text) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

// Each cue shows for a while, has text that draws, stays inside a picture
// 80 pixels wide once laid out, is placed within bounds, and is found at its start.
inline void CheckCues(const CueList& cues) {
  constexpr int kWidth = 80;
  std::vector<size_t> shown;
  for (size_t i = 0; i < cues.Size(); ++i) {
    const Cue& cue = cues[i];
    Require(cue.start < cue.end && !cue.lines.empty());
    Require(cue.heightScale == 0 || (cue.heightScale >= 0.01 && cue.heightScale <= 0.5));
    const CuePlacement& place = cue.placement;
    Require(place.alignment >= 1 && place.alignment <= 9);
    for (double margin : {place.marginLeft, place.marginRight, place.marginVertical})
      Require(margin >= 0 && margin <= 1);
    Require(std::isfinite(place.x) && std::isfinite(place.y));
    Require(cue.look.outline <= 0.02 && cue.look.shadow >= 0 && cue.look.shadow <= 0.02);
    CuePlacer(kWidth, kWidth).Place(place, kWidth / 2, kWidth / 4, 2);  // the sanitizers watch
    for (const TextLine& line : cue.lines)
      for (const TextRun& run : line) RequireDrawableText(run.text);
    for (const PlacedLine& line : LayOutCue(cue.lines, kWidth, ByteMeasurer())) {
      Require(line.width <= kWidth);
      for (const PlacedRun& run : line.runs) Require(IsValidUtf8(run.text));
    }
    cues.CoveringAt(cue.start, shown);
    Require(std::find(shown.begin(), shown.end(), i) != shown.end());
  }
}

}  // namespace fuzz
