#pragma once
// An overlay placed in pictures of one layout: which bytes of a frame it
// changes and with what, worked out once, so that blending it into each frame
// of a cue touches only the covered pixels: out = overlay + (1 - coverage) *
// frame. Pixels under no coverage keep their exact value; chroma shared by
// several pixels takes their mean coverage.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/base/PictureLayout.h"

class Overlay;

class PlacedOverlay {
 public:
  // (left, top): where the overlay's top-left pixel lands, in picture
  // coordinates from the top; the part outside the picture is cut off.
  PlacedOverlay(const Overlay& overlay, int left, int top, const PictureLayout& layout);

  bool PlacedAt(int left, int top, const PictureLayout& layout) const;
  // frame holds at least the layout's Bytes().
  void BlendInto(uint8_t* frame) const;

 private:
  // Covered samples side by side in a plane, step bytes apart.
  struct Run {
    size_t offset;  // of the first sample, from the plane's start
    size_t count;   // samples
    size_t first;   // its values' index
  };
  struct SharedChroma {
    int u, v, a;  // sums over the pixels that share the sample
  };

  static void AddToRuns(std::vector<Run>& runs, size_t offset, int step, size_t first);
  void PlanPixels(const Overlay& overlay);
  void PlanChroma(const Overlay& overlay);
  void BlendPixels(uint8_t* frame) const;
  void BlendChroma(uint8_t* frame) const;

  int m_left, m_top;
  PictureLayout m_layout;
  int m_channels = 1;   // luma, or B, G, R
  int m_pixelStep = 1;  // bytes from one pixel to the next
  std::vector<Run> m_pixelRuns;
  std::vector<uint8_t> m_pixels;  // per covered pixel its channels, then its coverage
  int m_chromaStep = 1;
  int m_chromaShare = 4;              // pixels per chroma sample
  size_t m_uPlane = 0, m_vPlane = 0;  // offsets in the frame
  std::vector<Run> m_chromaRuns;
  std::vector<SharedChroma> m_chroma;
};
