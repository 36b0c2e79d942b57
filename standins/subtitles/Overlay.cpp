#include "standins/subtitles/Overlay.h"

#include <algorithm>

namespace {

// The largest coverage within radius of each pixel (a disc).
std::vector<uint8_t> Dilate(int width, int height, const std::vector<uint8_t>& coverage,
                            int radius) {
  std::vector<uint8_t> out(coverage.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t best = 0;
      for (int dy = -radius; dy <= radius && best < 255; ++dy) {
        const int sy = y + dy;
        if (sy < 0 || sy >= height) continue;
        for (int dx = -radius; dx <= radius; ++dx) {
          const int sx = x + dx;
          if (sx < 0 || sx >= width || dx * dx + dy * dy > radius * radius + radius) continue;
          best = std::max(best, coverage[static_cast<size_t>(sy) * width + sx]);
        }
      }
      out[static_cast<size_t>(y) * width + x] = best;
    }
  }
  return out;
}

uint8_t Clamp8(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// A coverage and its colour premultiplied by it.
struct Layer {
  int a = 0;
  int rgb[3] = {};

  static Layer Of(uint32_t color, int a) {
    auto premultiply = [a](uint32_t channel) {
      return static_cast<int>((channel * a + 127) / 255);
    };
    return {a,
            {premultiply(color >> 16 & 0xFF), premultiply(color >> 8 & 0xFF),
             premultiply(color & 0xFF)}};
  }
  // This layer drawn over under.
  Layer Over(const Layer& under) const {
    auto mix = [this](int top, int bottom) { return top + ((255 - a) * bottom + 127) / 255; };
    return {mix(a, under.a),
            {mix(rgb[0], under.rgb[0]), mix(rgb[1], under.rgb[1]), mix(rgb[2], under.rgb[2])}};
  }
};

}  // namespace

Overlay::Overlay(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height) {}

Overlay Overlay::FromGlyphs(int width, int height, const std::vector<uint8_t>& coverage,
                            const std::vector<uint8_t>& rgb, const GlyphEdges& edges) {
  Overlay overlay(width, height);
  const std::vector<uint8_t> outline =
      edges.outline > 0 ? Dilate(width, height, coverage, edges.outline) : coverage;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(y) * width + x;
      const int sx = x - edges.shadow, sy = y - edges.shadow;
      Layer under{};
      if (edges.shadow > 0 && sx >= 0 && sy >= 0)
        under = Layer::Of(edges.shadowColor, outline[static_cast<size_t>(sy) * width + sx]);
      if (edges.outline > 0) under = Layer::Of(edges.outlineColor, outline[i]).Over(under);
      const Layer glyph{coverage[i], {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]}};
      const Layer all = glyph.Over(under);
      overlay.SetPremultiplied(i, Clamp8(all.a), all.rgb[0], all.rgb[1], all.rgb[2]);
    }
  }
  return overlay;
}

void Overlay::Set(int x, int y, uint32_t rgb, uint8_t a) {
  const Layer layer = Layer::Of(rgb, a);
  SetPremultiplied(Index(x, y), a, layer.rgb[0], layer.rgb[1], layer.rgb[2]);
}

void Overlay::SetPremultiplied(size_t index, uint8_t a, int r, int g, int b) {
  OverlayPixel& pixel = m_pixels[index];
  pixel.a = a;
  pixel.r = Clamp8(std::min<int>(r, a));
  pixel.g = Clamp8(std::min<int>(g, a));
  pixel.b = Clamp8(std::min<int>(b, a));
  // BT.601 studio range on premultiplied values: the offsets scale with coverage.
  const int y = 16 * a * 256 / 255 + 66 * pixel.r + 129 * pixel.g + 25 * pixel.b;
  const int u = 128 * a * 256 / 255 - 38 * pixel.r - 74 * pixel.g + 112 * pixel.b;
  const int v = 128 * a * 256 / 255 + 112 * pixel.r - 94 * pixel.g - 18 * pixel.b;
  pixel.y = Clamp8(std::min<int>((y + 128) >> 8, a));
  pixel.u = Clamp8(std::min<int>((u + 128) >> 8, a));
  pixel.v = Clamp8(std::min<int>((v + 128) >> 8, a));
}
