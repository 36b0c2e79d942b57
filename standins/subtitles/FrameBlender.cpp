#include "standins/subtitles/FrameBlender.h"

#include <algorithm>

#include "standins/subtitles/FrameLayout.h"
#include "standins/subtitles/Overlay.h"

namespace {

// The part of the picture the overlay covers: [x0, x1) x [y0, y1).
struct Area {
  int x0, x1, y0, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

Area Covered(const Overlay& overlay, int left, int top, const FrameLayout& layout) {
  return {std::max(left, 0), std::min(left + overlay.Width(), layout.width), std::max(top, 0),
          std::min(top + overlay.Height(), layout.height)};
}

uint8_t Mix(int premultiplied, int a, uint8_t under) {
  return static_cast<uint8_t>(premultiplied + ((255 - a) * under + 127) / 255);
}

// n samples' summed coverage and premultiplied value over one shared sample.
uint8_t MixShared(int sumValue, int sumA, int n, uint8_t under) {
  const int full = 255 * n;
  return static_cast<uint8_t>((255 * sumValue + (full - sumA) * under + full / 2) / full);
}

void BlendRgb(const Overlay& overlay, int left, int top, const FrameLayout& layout, uint8_t* frame,
              int bytesPerPixel) {
  const Area area = Covered(overlay, left, top, layout);
  for (int y = area.y0; y < area.y1; ++y) {
    const int row = layout.bottomUp ? layout.height - 1 - y : y;
    uint8_t* line = frame + static_cast<size_t>(row) * layout.stride;
    for (int x = area.x0; x < area.x1; ++x) {
      const OverlayPixel& p = overlay.At(x - left, y - top);
      if (p.a == 0) continue;
      uint8_t* q = line + static_cast<size_t>(x) * bytesPerPixel;
      q[0] = Mix(p.b, p.a, q[0]);
      q[1] = Mix(p.g, p.a, q[1]);
      q[2] = Mix(p.r, p.a, q[2]);
    }
  }
}

// step: bytes from one luma sample to the next (1 planar, 2 YUY2).
void BlendLuma(const Overlay& overlay, int left, int top, const FrameLayout& layout, uint8_t* plane,
               int step) {
  const Area area = Covered(overlay, left, top, layout);
  for (int y = area.y0; y < area.y1; ++y) {
    uint8_t* line = plane + static_cast<size_t>(y) * layout.stride;
    for (int x = area.x0; x < area.x1; ++x) {
      const OverlayPixel& p = overlay.At(x - left, y - top);
      if (p.a != 0) line[static_cast<size_t>(x) * step] = Mix(p.y, p.a, line[x * step]);
    }
  }
}

struct ChromaSum {
  int a = 0, u = 0, v = 0;
};

// The overlay's pixels over picture pixels [x, x + w) x [y, y + h).
ChromaSum SumBlock(const Overlay& overlay, int left, int top, int x, int y, int w, int h) {
  ChromaSum sum;
  for (int sy = y; sy < y + h; ++sy) {
    for (int sx = x; sx < x + w; ++sx) {
      const int ox = sx - left, oy = sy - top;
      if (ox < 0 || oy < 0 || ox >= overlay.Width() || oy >= overlay.Height()) continue;
      const OverlayPixel& p = overlay.At(ox, oy);
      sum.a += p.a, sum.u += p.u, sum.v += p.v;
    }
  }
  return sum;
}

// Chroma shared by blocks of 2 x rows pixels; u and v advance by step bytes.
void BlendChroma(const Overlay& overlay, int left, int top, const Area& area, int rows, uint8_t* u,
                 uint8_t* v, int stride, int step) {
  for (int cy = area.y0 / rows; cy * rows < area.y1; ++cy) {
    const size_t line = static_cast<size_t>(cy) * stride;
    for (int cx = area.x0 / 2; cx * 2 < area.x1; ++cx) {
      const ChromaSum sum = SumBlock(overlay, left, top, cx * 2, cy * rows, 2, rows);
      if (sum.a == 0) continue;
      const size_t at = line + static_cast<size_t>(cx) * step;
      u[at] = MixShared(sum.u, sum.a, 2 * rows, u[at]);
      v[at] = MixShared(sum.v, sum.a, 2 * rows, v[at]);
    }
  }
}

void BlendPlanar(const Overlay& overlay, int left, int top, const FrameLayout& layout,
                 uint8_t* frame) {
  BlendLuma(overlay, left, top, layout, frame, 1);
  const size_t lumaBytes = static_cast<size_t>(layout.stride) * layout.height;
  const size_t chromaBytes = lumaBytes / 4;
  uint8_t* first = frame + lumaBytes;  // V for YV12, U for I420
  uint8_t* second = first + chromaBytes;
  const bool yv12 = layout.format == PixelFormat::kYv12;
  BlendChroma(overlay, left, top, Covered(overlay, left, top, layout), 2, yv12 ? second : first,
              yv12 ? first : second, layout.stride / 2, 1);
}

void BlendYuy2(const Overlay& overlay, int left, int top, const FrameLayout& layout,
               uint8_t* frame) {
  BlendLuma(overlay, left, top, layout, frame, 2);
  BlendChroma(overlay, left, top, Covered(overlay, left, top, layout), 1, frame + 1, frame + 3,
              layout.stride, 4);
}

}  // namespace

void BlendOverlay(const Overlay& overlay, int left, int top, const FrameLayout& layout,
                  uint8_t* frame) {
  if (overlay.Empty() || Covered(overlay, left, top, layout).Empty()) return;
  switch (layout.format) {
    case PixelFormat::kYv12:
    case PixelFormat::kI420:
      BlendPlanar(overlay, left, top, layout, frame);
      break;
    case PixelFormat::kYuy2:
      BlendYuy2(overlay, left, top, layout, frame);
      break;
    case PixelFormat::kRgb24:
      BlendRgb(overlay, left, top, layout, frame, 3);
      break;
    case PixelFormat::kRgb32:
      BlendRgb(overlay, left, top, layout, frame, 4);
      break;
  }
}
