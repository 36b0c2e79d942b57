#pragma once
// A cue's picture, made once and blended into every frame it shows in: per
// pixel a coverage and the colour premultiplied by it, both as RGB and as
// studio-range BT.601 YUV. Glyphs are white or their own colour, ringed by an
// outline over a shadow.

#include <cstddef>
#include <cstdint>
#include <vector>

struct OverlayPixel {
  uint8_t a = 0;  // coverage, 0 transparent .. 255 opaque
  uint8_t r = 0, g = 0, b = 0;
  uint8_t y = 0, u = 0, v = 0;
};

// How glyphs are ringed and shadowed, in overlay pixels.
struct GlyphEdges {
  int outline = 1;                   // radius; 0 for none
  uint32_t outlineColor = 0x000000;  // 0xRRGGBB
  int shadow = 0;                    // the outlined glyphs' offset right and down; 0 for none
  uint32_t shadowColor = 0x000000;   // 0xRRGGBB
};

class Overlay {
 public:
  Overlay() = default;
  Overlay(int width, int height);

  // coverage: one byte per pixel; rgb: the glyph colour premultiplied by the
  // coverage, three bytes (R, G, B) per pixel; both top-down rows of width
  // pixels. The outline and shadow stay inside the same size, so the caller
  // leaves that much margin.
  static Overlay FromGlyphs(int width, int height, const std::vector<uint8_t>& coverage,
                            const std::vector<uint8_t>& rgb, const GlyphEdges& edges);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Pixels from each side to the text's box, which placing a cue goes by.
  int Inset() const { return m_inset; }
  void SetInset(int pixels) { m_inset = pixels; }
  bool Empty() const { return m_pixels.empty(); }
  const OverlayPixel& At(int x, int y) const { return m_pixels[Index(x, y)]; }
  // Sets a pixel from an unpremultiplied colour (0xRRGGBB) and coverage.
  void Set(int x, int y, uint32_t rgb, uint8_t a);

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * m_width + x; }
  void SetPremultiplied(size_t index, uint8_t a, int r, int g, int b);

  int m_width = 0;
  int m_height = 0;
  int m_inset = 0;
  std::vector<OverlayPixel> m_pixels;
};
