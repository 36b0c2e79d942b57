#pragma once
// A subtitle cue as the readers give it: when it shows and its text, as lines
// of styled runs. Nothing here needs Windows.

#include <cstdint>
#include <string>
#include <vector>

struct TextStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  uint32_t color = 0xFFFFFF;  // 0xRRGGBB
  bool operator==(const TextStyle&) const = default;
};

struct TextRun {
  std::string text;  // UTF-8, no control characters
  TextStyle style;
  bool operator==(const TextRun&) const = default;
};

using TextLine = std::vector<TextRun>;

struct Cue {
  int64_t start = 0;  // 100 ns units
  int64_t end = 0;    // 100 ns units, the first instant it no longer shows
  std::vector<TextLine> lines;
  // Text height as a fraction of the picture height; 0 for the default.
  double heightScale = 0;
};
