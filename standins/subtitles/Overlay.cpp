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

}  // namespace

Overlay::Overlay(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height) {}

Overlay Overlay::FromGlyphs(int width, int height, const std::vector<uint8_t>& coverage,
                            const std::vector<uint8_t>& rgb, int outlineRadius) {
  Overlay overlay(width, height);
  const std::vector<uint8_t> outline = Dilate(width, height, coverage, outlineRadius);
  for (size_t i = 0; i < overlay.m_pixels.size(); ++i) {
    // Glyph over the black outline: the outline adds coverage but no colour.
    const int fill = coverage[i];
    const int a = fill + ((255 - fill) * outline[i] + 127) / 255;
    overlay.SetPremultiplied(i, Clamp8(a), rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
  }
  return overlay;
}

void Overlay::Set(int x, int y, uint32_t rgb, uint8_t a) {
  auto premultiply = [a](uint32_t channel) { return static_cast<int>((channel * a + 127) / 255); };
  SetPremultiplied(Index(x, y), a, premultiply(rgb >> 16 & 0xFF), premultiply(rgb >> 8 & 0xFF),
                   premultiply(rgb & 0xFF));
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
