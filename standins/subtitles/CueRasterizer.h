#pragma once
// Turns a cue into its overlay for a picture size. The filter draws with GDI;
// tests draw plain blocks.

class Overlay;
struct Cue;

class CueRasterizer {
 public:
  virtual ~CueRasterizer() = default;
  // The cue's lines, each to the side its alignment names, in an overlay no
  // larger than the picture; its inset is the margin around the text.
  virtual Overlay Rasterize(const Cue& cue, int pictureWidth, int pictureHeight) = 0;
  // The cue that will show next: a rasterizer may make it ahead of Rasterize.
  virtual void Expect(const Cue&, int /*pictureWidth*/, int /*pictureHeight*/) {}
};
