#pragma once
// Turns a cue into its overlay for a picture size. The filter draws with GDI;
// tests draw plain blocks.

class Overlay;
struct Cue;

class CueRasterizer {
 public:
  virtual ~CueRasterizer() = default;
  // The cue's lines centred in an overlay no larger than the picture.
  virtual Overlay Rasterize(const Cue& cue, int pictureWidth, int pictureHeight) = 0;
};
