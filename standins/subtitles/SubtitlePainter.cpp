#include "standins/subtitles/SubtitlePainter.h"

#include <algorithm>

#include "standins/subtitles/CueRasterizer.h"
#include "standins/subtitles/FrameBlender.h"
#include "standins/subtitles/FrameLayout.h"

namespace {

constexpr int kBottomMarginPercent = 4;  // of the picture height

}  // namespace

SubtitlePainter::SubtitlePainter(CueList cues, std::unique_ptr<CueRasterizer> rasterizer)
    : m_cues(std::move(cues)), m_rasterizer(std::move(rasterizer)) {}

SubtitlePainter::~SubtitlePainter() = default;

bool SubtitlePainter::Paint(int64_t time, const FrameLayout& layout, uint8_t* frame) {
  m_cues.CoveringAt(time, m_showing);
  ForgetHidden(layout.width, layout.height);
  int bottom = layout.height - layout.height * kBottomMarginPercent / 100;
  for (size_t cue : m_showing) {
    const Overlay& overlay = OverlayOf(cue, layout.width, layout.height);
    const int top = bottom - overlay.Height();
    BlendOverlay(overlay, (layout.width - overlay.Width()) / 2, top, layout, frame);
    bottom = top;
  }
  return !m_showing.empty();
}

const Overlay& SubtitlePainter::OverlayOf(size_t cue, int pictureWidth, int pictureHeight) {
  auto found = m_overlays.find(cue);
  if (found == m_overlays.end())
    found =
        m_overlays.emplace(cue, m_rasterizer->Rasterize(m_cues[cue], pictureWidth, pictureHeight))
            .first;
  return found->second;
}

// Keeps the overlays of the cues that show now, for the current picture size.
void SubtitlePainter::ForgetHidden(int pictureWidth, int pictureHeight) {
  if (pictureWidth != m_pictureWidth || pictureHeight != m_pictureHeight) {
    m_overlays.clear();
    m_pictureWidth = pictureWidth;
    m_pictureHeight = pictureHeight;
  }
  std::erase_if(m_overlays, [this](const auto& entry) {
    return !std::binary_search(m_showing.begin(), m_showing.end(), entry.first);
  });
}
