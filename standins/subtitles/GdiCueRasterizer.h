#pragma once
// Draws a cue's text with GDI into a memory bitmap, anti-aliased, and takes
// its coverage and colours into an overlay with an outline.

#include "standins/subtitles/CueRasterizer.h"
#include "standins/subtitles/GdiFontSet.h"

class GdiCueRasterizer : public CueRasterizer {
 public:
  Overlay Rasterize(const Cue& cue, int pictureWidth, int pictureHeight) override;

 private:
  GdiFontSet m_fonts;
};
