#include "standins/subtitles/SubtitlePainter.h"

#include <algorithm>

#include "standins/base/PictureLayout.h"
#include "standins/subtitles/CuePlacer.h"
#include "standins/subtitles/CueRasterizer.h"

SubtitlePainter::SubtitlePainter(CueList cues, std::unique_ptr<CueRasterizer> rasterizer)
    : m_cues(std::move(cues)), m_rasterizer(std::move(rasterizer)) {}

SubtitlePainter::~SubtitlePainter() = default;

bool SubtitlePainter::Paint(int64_t time, const PictureLayout& layout, uint8_t* frame) {
  m_cues.CoveringAt(time, m_showing);
  ForgetHidden(layout.width, layout.height);
  CuePlacer placer(layout.width, layout.height);
  for (size_t cue : m_showing) {
    Drawing& drawing = DrawingOf(cue, layout.width, layout.height);
    const Overlay& overlay = drawing.overlay;
    const OverlayPlace place =
        placer.Place(m_cues[cue].placement, overlay.Width(), overlay.Height(), overlay.Inset());
    if (!drawing.placed || !drawing.placed->PlacedAt(place.left, place.top, layout))
      drawing.placed.emplace(overlay, place.left, place.top, layout);
    drawing.placed->BlendInto(frame);
  }
  ExpectNext(time, layout.width, layout.height);
  return !m_showing.empty();
}

void SubtitlePainter::ExpectNext(int64_t time, int pictureWidth, int pictureHeight) {
  const size_t next = m_cues.FirstAfter(time);
  if (next == m_expected || next == m_cues.Size()) return;
  m_expected = next;
  m_rasterizer->Expect(m_cues[next], pictureWidth, pictureHeight);
}

SubtitlePainter::Drawing& SubtitlePainter::DrawingOf(size_t cue, int pictureWidth,
                                                     int pictureHeight) {
  auto found = m_drawings.find(cue);
  if (found == m_drawings.end()) {
    Drawing drawing{m_rasterizer->Rasterize(m_cues[cue], pictureWidth, pictureHeight), {}};
    found = m_drawings.emplace(cue, std::move(drawing)).first;
  }
  return found->second;
}

// Keeps the drawings of the cues that show now, for the current picture size.
void SubtitlePainter::ForgetHidden(int pictureWidth, int pictureHeight) {
  if (pictureWidth != m_pictureWidth || pictureHeight != m_pictureHeight) {
    m_drawings.clear();
    m_pictureWidth = pictureWidth;
    m_pictureHeight = pictureHeight;
  }
  std::erase_if(m_drawings, [this](const auto& entry) {
    return !std::binary_search(m_showing.begin(), m_showing.end(), entry.first);
  });
}
