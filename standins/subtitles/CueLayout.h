#pragma once
// Breaks a cue's lines so that each fits a width: at spaces, and inside a
// word only when the word alone is wider than the width.

#include <string>
#include <vector>

#include "standins/subtitles/Cue.h"

class TextMeasurer;

struct PlacedRun {
  std::string text;  // UTF-8
  TextStyle style;
  int x = 0;  // pixels from the line's left end
};

struct PlacedLine {
  std::vector<PlacedRun> runs;
  int width = 0;  // pixels
};

std::vector<PlacedLine> LayOutCue(const std::vector<TextLine>& lines, int maxWidth,
                                  const TextMeasurer& measurer);
