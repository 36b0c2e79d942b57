#pragma once
// Readable forms of cues for the subtitle tests.

#include <string>
#include <vector>

#include "standins/subtitles/Cue.h"
#include "standins/base/PictureLayout.h"

// "text[flags]" per run, lines joined by " / "; flags are b, i, u and the
// colour as #rrggbb when it is not white.
std::string Describe(const std::vector<TextLine>& lines);

// "start-end: text" with times in milliseconds, one cue per line; " @scale"
// follows when the cue has a text height of its own, then where its place and
// look differ from a SubRip cue's.
std::string Describe(const std::vector<Cue>& cues);

// Where a frame byte lies: its plane (-1 for padding between rows), row and
// byte in the row.
struct BytePlace {
  int plane;
  int row;
  size_t column;
};
BytePlace PlaceOfByte(const PictureLayout& layout, size_t offset);

// The picture pixels [x0, x1) x [y0, y1) whose value a frame byte holds
// (none for padding).
struct PixelRect {
  int x0, x1, y0, y1;
};
PixelRect PixelsOfByte(const PictureLayout& layout, size_t offset);
