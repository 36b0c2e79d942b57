#pragma once
// Blends an overlay into a frame: out = overlay + (1 - coverage) * frame.
// Pixels under no coverage keep their exact value; chroma shared by several
// pixels takes their mean coverage.

#include <cstdint>

class Overlay;
struct FrameLayout;

// (left, top): where the overlay's top-left pixel lands, in picture
// coordinates from the top; the part outside the picture is cut off. The
// frame holds at least layout.RequiredBytes().
void BlendOverlay(const Overlay& overlay, int left, int top, const FrameLayout& layout,
                  uint8_t* frame);
