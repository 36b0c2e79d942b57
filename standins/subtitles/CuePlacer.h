#pragma once
// Where the overlays of the cues that show together go in a picture: by their
// alignment within the margins, or at their position. Cues aligned to the
// bottom stack upwards in the order they are placed, cues aligned to the top
// downwards; placed cues never move others. Nothing here needs Windows.

#include "standins/subtitles/Cue.h"

struct OverlayPlace {
  int left = 0;  // pixels from the picture's left edge
  int top = 0;   // pixels from its top edge
  bool operator==(const OverlayPlace&) const = default;
};

class CuePlacer {
 public:
  CuePlacer(int pictureWidth, int pictureHeight)
      : m_width(pictureWidth), m_height(pictureHeight), m_bottom(pictureHeight) {}

  // An overlay of width x height whose text lies inset pixels inside its edges.
  OverlayPlace Place(const CuePlacement& placement, int width, int height, int inset);

 private:
  int m_width;
  int m_height;
  int m_bottom;   // the top of the bottom stack so far
  int m_top = 0;  // the bottom of the top stack so far
};
