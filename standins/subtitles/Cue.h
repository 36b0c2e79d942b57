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

// Where a cue shows. Places are fractions of the picture: x of its width, y
// of its height.
struct CuePlacement {
  // As on a numeric keypad: 1-3 at the bottom, 4-6 in the middle, 7-9 at the
  // top; left, centre or right.
  int alignment = 2;
  double marginLeft = 0.05;
  double marginRight = 0.05;
  double marginVertical = 0.04;  // from the edge the cue is aligned to
  // At (x, y), the point of its text that the alignment names; margins aside.
  bool positioned = false;
  double x = 0;
  double y = 0;
  bool operator==(const CuePlacement&) const = default;
};

// How a cue's text is drawn beyond its runs' own styles. Widths are fractions
// of the picture height.
struct CueLook {
  std::string fontName;     // empty: the default face
  bool cellHeight = false;  // the text height is the font's ascent plus descent, not its em
  double outline = -1;      // negative: the default
  double shadow = 0;        // offset right and down
  uint32_t outlineColor = 0x000000;  // 0xRRGGBB
  uint32_t shadowColor = 0x000000;   // 0xRRGGBB
  bool operator==(const CueLook&) const = default;
};

struct Cue {
  int64_t start = 0;  // 100 ns units
  int64_t end = 0;    // 100 ns units, the first instant it no longer shows
  std::vector<TextLine> lines;
  // Text height as a fraction of the picture height; 0 for the default.
  double heightScale = 0;
  CuePlacement placement;
  CueLook look;
};
