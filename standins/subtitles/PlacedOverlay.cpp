#include "standins/subtitles/PlacedOverlay.h"

#include <algorithm>

#include "standins/subtitles/Overlay.h"

namespace {

// The part of the picture the overlay covers: [x0, x1) x [y0, y1).
struct Area {
  int x0, x1, y0, y1;
};

Area Covered(const Overlay& overlay, int left, int top, const PictureLayout& layout) {
  return {std::max(left, 0), std::min(left + overlay.Width(), layout.width), std::max(top, 0),
          std::min(top + overlay.Height(), layout.height)};
}

bool IsRgb(PixelFormat format) {
  return format == PixelFormat::kRgb24 || format == PixelFormat::kRgb32;
}

uint8_t Mix(int premultiplied, int a, uint8_t under) {
  return static_cast<uint8_t>(premultiplied + ((255 - a) * under + 127) / 255);
}

// kShare samples' summed coverage and premultiplied value over one shared sample.
template <int kShare>
uint8_t MixShared(int sumValue, int sumA, uint8_t under) {
  constexpr int kFull = 255 * kShare;
  return static_cast<uint8_t>((255 * sumValue + (kFull - sumA) * under + kFull / 2) / kFull);
}

template <int kShare>
void BlendShared(uint8_t* u, uint8_t* v, size_t count, int step, const auto* shared) {
  for (size_t i = 0; i < count; ++i, u += step, v += step, ++shared) {
    *u = MixShared<kShare>(shared->u, shared->a, *u);
    *v = MixShared<kShare>(shared->v, shared->a, *v);
  }
}

}  // namespace

PlacedOverlay::PlacedOverlay(const Overlay& overlay, int left, int top,
                             const PictureLayout& layout)
    : m_left(left), m_top(top), m_layout(layout) {
  if (overlay.Empty()) return;
  PlanPixels(overlay);
  if (!IsRgb(layout.format)) PlanChroma(overlay);
}

bool PlacedOverlay::PlacedAt(int left, int top, const PictureLayout& layout) const {
  return left == m_left && top == m_top && layout == m_layout;
}

// Luma samples, or RGB pixels, where the coverage is not 0.
void PlacedOverlay::PlanPixels(const Overlay& overlay) {
  const PictureLayout& layout = m_layout;
  const bool rgb = IsRgb(layout.format);
  m_channels = rgb ? 3 : 1;
  m_pixelStep = rgb ? (layout.format == PixelFormat::kRgb24 ? 3 : 4)
                    : (layout.format == PixelFormat::kYuy2 ? 2 : 1);
  const Area area = Covered(overlay, m_left, m_top, layout);
  for (int y = area.y0; y < area.y1; ++y) {
    const int row = rgb && layout.bottomUp ? layout.height - 1 - y : y;
    for (int x = area.x0; x < area.x1; ++x) {
      const OverlayPixel& p = overlay.At(x - m_left, y - m_top);
      if (p.a == 0) continue;
      const size_t offset = static_cast<size_t>(row) * layout.planes[0].stride +
                            static_cast<size_t>(x) * static_cast<size_t>(m_pixelStep);
      AddToRuns(m_pixelRuns, offset, m_pixelStep, m_pixels.size() / (m_channels + 1));
      if (rgb)
        m_pixels.insert(m_pixels.end(), {p.b, p.g, p.r, p.a});
      else
        m_pixels.insert(m_pixels.end(), {p.y, p.a});
    }
  }
}

// Chroma shared by blocks of 2 x rows pixels, where their coverage is not 0.
void PlacedOverlay::PlanChroma(const Overlay& overlay) {
  const PictureLayout& layout = m_layout;
  const bool planar = layout.format != PixelFormat::kYuy2;
  const int rows = planar ? 2 : 1;
  const size_t stride = layout.planes[planar ? 1 : 0].stride;
  m_chromaStep = planar ? 1 : 4;
  m_chromaShare = 2 * rows;
  const size_t first = planar ? layout.planes[1].offset : 1;  // V for YV12, U for I420
  const size_t second = planar ? layout.planes[2].offset : 3;
  const bool yv12 = layout.format == PixelFormat::kYv12;
  m_uPlane = yv12 ? second : first;
  m_vPlane = yv12 ? first : second;
  const Area area = Covered(overlay, m_left, m_top, layout);
  for (int cy = area.y0 / rows; cy * rows < area.y1; ++cy) {
    for (int cx = area.x0 / 2; cx * 2 < area.x1; ++cx) {
      SharedChroma sum = {0, 0, 0};
      for (int y = std::max(cy * rows, m_top); y < std::min((cy + 1) * rows, area.y1); ++y)
        for (int x = std::max(cx * 2, m_left); x < std::min(cx * 2 + 2, area.x1); ++x) {
          const OverlayPixel& p = overlay.At(x - m_left, y - m_top);
          sum.u += p.u, sum.v += p.v, sum.a += p.a;
        }
      if (sum.a == 0) continue;
      const size_t offset =
          static_cast<size_t>(cy) * stride + static_cast<size_t>(cx) * m_chromaStep;
      AddToRuns(m_chromaRuns, offset, m_chromaStep, m_chroma.size());
      m_chroma.push_back(sum);
    }
  }
}

// The sample at offset joins the last run where it follows it step bytes on.
void PlacedOverlay::AddToRuns(std::vector<Run>& runs, size_t offset, int step, size_t first) {
  if (!runs.empty() && runs.back().offset + runs.back().count * step == offset)
    ++runs.back().count;
  else
    runs.push_back({offset, 1, first});
}

void PlacedOverlay::BlendInto(uint8_t* frame) const {
  BlendPixels(frame);
  BlendChroma(frame);
}

void PlacedOverlay::BlendPixels(uint8_t* frame) const {
  const size_t width = static_cast<size_t>(m_channels) + 1;
  for (const Run& run : m_pixelRuns) {
    uint8_t* q = frame + run.offset;
    const uint8_t* p = m_pixels.data() + run.first * width;
    if (m_channels == 1) {
      for (size_t i = 0; i < run.count; ++i, q += m_pixelStep, p += width) *q = Mix(p[0], p[1], *q);
      continue;
    }
    for (size_t i = 0; i < run.count; ++i, q += m_pixelStep, p += width) {
      q[0] = Mix(p[0], p[3], q[0]);
      q[1] = Mix(p[1], p[3], q[1]);
      q[2] = Mix(p[2], p[3], q[2]);
    }
  }
}

void PlacedOverlay::BlendChroma(uint8_t* frame) const {
  for (const Run& run : m_chromaRuns) {
    uint8_t* u = frame + m_uPlane + run.offset;
    uint8_t* v = frame + m_vPlane + run.offset;
    const SharedChroma* shared = m_chroma.data() + run.first;
    if (m_chromaShare == 4)
      BlendShared<4>(u, v, run.count, m_chromaStep, shared);
    else
      BlendShared<2>(u, v, run.count, m_chromaStep, shared);
  }
}
