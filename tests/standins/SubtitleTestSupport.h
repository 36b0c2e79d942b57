#pragma once
// Readable forms of cues for the subtitle tests.

#include <string>
#include <vector>

#include "standins/subtitles/Cue.h"
#include "standins/subtitles/FrameLayout.h"

// "text[flags]" per run, lines joined by " / "; flags are b, i, u and the
// colour as #rrggbb when it is not white.
std::string Describe(const std::vector<TextLine>& lines);

// "start-end: text" with times in milliseconds, one cue per line; " @scale"
// follows when the cue has a text height of its own.
std::string Describe(const std::vector<Cue>& cues);

// The picture pixels [x0, x1) x [y0, y1) whose value a frame byte holds.
struct PixelRect {
  int x0, x1, y0, y1;
};
PixelRect PixelsOfByte(const FrameLayout& layout, size_t offset);
